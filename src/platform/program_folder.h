#pragma once

#include <QString>

namespace platform {

// Tails of the files and folders inside the data home. Every path is ProgramFolder() + a tail.
inline constexpr char kMapsTail[] = "/Maps";
inline constexpr char kPoiTail[] = "/POI";
inline constexpr char kRoutesTail[] = "/Routes_POIs";
inline constexpr char kImagesTail[] = "/images";
inline constexpr char kTraceTail[] = "/Debug.dbg";
inline constexpr char kCatalogueTail[] = "/Maps/maps.dat";
// Own settings file of a home given with --home.
inline constexpr char kHomeSettingsTail[] = "/Velmora.conf";

// The folder part of a file path: everything before the last '/', or "/" when there is none.
QString FolderOfPath(const QString& path);

// Where the program keeps its data: the --home folder when one is given; otherwise the
// executable's folder when files can be created in it (a portable install) and it is not under
// a system prefix (/usr, /bin, /sbin, /opt, /snap), which even root must not fill with data;
// otherwise the user's data location, ~/.local/share/Velmora. Always an absolute, clean path,
// so that the catalogue of one home lists the same paths from whatever folder it is run.
QString ResolveProgramFolder(const QString& homeOption, const QString& executablePath);

// A data home named on a command line (the program's --home, the tools' HOME) as an absolute,
// clean path.
QString DataHomeFromOption(const QString& homeOption);

// True when a file can actually be created in `folder` (permission bits alone do not tell, for
// instance for root on a read-only file system).
bool CanCreateFilesIn(const QString& folder);

// The data home of this process, set once at start-up.
void SetProgramFolder(const QString& folder);
QString ProgramFolder();

// Creates the Maps, POI and Routes_POIs folders of `folder`; a folder that cannot be made is
// left to fail where it is used.
void CreateProgramFolders(const QString& folder);

}  // namespace platform

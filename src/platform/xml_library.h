#pragma once

#include <functional>

namespace platform {

// Start of the XML library that reads GPX files, made once before any window exists. The parser
// needs no global start, so the default always succeeds; tests install a failing one to reach
// the program's refusal to start.
bool StartXmlLibrary();

using XmlLibraryStarter = std::function<bool()>;
// Installs `starter` (an empty one restores the default); returns the previous one.
XmlLibraryStarter SetXmlLibraryStarter(XmlLibraryStarter starter);

}  // namespace platform

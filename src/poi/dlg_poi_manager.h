#pragma once

#include <QDialog>
#include <QString>

#include "platform/settings_keys.h"

class QTreeWidget;

namespace platform {
class SettingsStore;
}

namespace poi {

// "POI Manager": the ".poi" files of the POI folder, each with a check box; OK stores the
// ticked ones as the numbered list YESPOIS0, YESPOIS1, … ended by ",,," in "STATUS/POI". The
// caller reloads the POIs when exec() returns QDialog::Accepted:
//
//   poi::DlgPoiManager dialog(app.programFolder(), *app.settings(), this);
//   if (dialog.exec() == QDialog::Accepted) { poiStore.Reload(); /* redraw */ }
class DlgPoiManager : public QDialog {
    Q_OBJECT
public:
    static constexpr int kListId = 1012;
    static constexpr int kSelectAllId = 1015;
    static constexpr int kDeselectAllId = 1016;

    // `settings` is borrowed for the dialog's life.
    DlgPoiManager(const QString& programFolder, platform::SettingsStore& settings,
                  QWidget* parent = nullptr);
    ~DlgPoiManager() override;

    void accept() override;
    void SelectAll();
    void DeselectAll();

    // The listed file names, in the folder's order, and whether each is ticked.
    int ItemCount() const;
    QString ItemText(int index) const;
    bool IsTicked(int index) const;
    void SetTicked(int index, bool ticked);

protected:
    // What the two variants list and where they store the ticks.
    struct Variant {
        const char* heading;     // of the list's one column
        const char* folderTail;  // inside the program folder
        const char* extension;   // ".poi", compared in any letter case
        platform::settings::ListKey list;
    };
    DlgPoiManager(const Variant& variant, const QString& programFolder,
                  platform::SettingsStore& settings, QWidget* parent);

    // Fills the list from the folder and ticks what the stored list names.
    void InitDialog();
    // Writes the ticked names and the end marker.
    void SaveChoices();

private:
    void Build();

    Variant variant_;
    QString programFolder_;
    platform::SettingsStore& settings_;
    QTreeWidget* list_ = nullptr;
};

// The same dialog for the ".gpx" files of the routes folder, stored as YESGPX0, … in
// "STATUS/GPX"; the caller loads the GPX overlays again after OK.
class DlgGpxManager : public DlgPoiManager {
    Q_OBJECT
public:
    DlgGpxManager(const QString& programFolder, platform::SettingsStore& settings,
                  QWidget* parent = nullptr);
};

}  // namespace poi

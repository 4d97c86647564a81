#include "poi/dlg_poi_manager.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "poi_home.h"
#include "qt_print.h"

namespace poi {
namespace {

using platform::settings::kEnabledGpxFiles;
using platform::settings::kEnabledPoiFiles;

class PoiManagerTest : public ::testing::Test {
protected:
    PoiManagerTest() {
        for (const char* name : {"a.poi", "b.poi", "c.poi", "notes.txt", "sub.poi/x"}) {
            home_.Write(name, "1|1|A|B|i.bmp");
        }
    }
    QString Value(int index) { return home_.Settings().Get(kEnabledPoiFiles, index); }
    void Click(QDialog& dialog, const char* name) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(name), Qt::LeftButton);
    }
    int Index(const DlgPoiManager& dialog, const QString& text) {
        for (int i = 0; i < dialog.ItemCount(); ++i) {
            if (dialog.ItemText(i) == text) {
                return i;
            }
        }
        return -1;
    }

    PoiHome home_;
};

TEST_F(PoiManagerTest, ListsThePoiFilesAndOkWritesTheTickedOnesWithTheEndMarker) {
    home_.Tick({"C.POI", "gone.poi"});  // another letter case, a removed file
    home_.Settings().Set(kEnabledPoiFiles, 5, "later.poi");
    DlgPoiManager dialog(home_.Path(), home_.Settings());
    EXPECT_EQ(dialog.windowTitle(), "POI Manager");
    EXPECT_EQ(dialog.findChild<QTreeWidget*>("1012")->headerItem()->text(0), "POI");
    ASSERT_EQ(dialog.ItemCount(), 3);
    EXPECT_TRUE(dialog.IsTicked(Index(dialog, "c.poi")));
    EXPECT_FALSE(dialog.IsTicked(Index(dialog, "a.poi")));
    dialog.SetTicked(Index(dialog, "a.poi"), true);
    Click(dialog, "1");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    // In the folder's order, spelled as the folder spells them.
    QStringList written{Value(0), Value(1)};
    written.sort();
    EXPECT_EQ(written, (QStringList{"a.poi", "c.poi"}));
    EXPECT_EQ(Value(2), ",,,");
    EXPECT_EQ(Value(5), "later.poi");  // past the end marker, left alone
}

TEST_F(PoiManagerTest, DeselectAllWritesOnlyTheEndMarkerAndCancelNothing) {
    home_.Tick({"a.poi", "b.poi", "c.poi"});
    {
        DlgPoiManager dialog(home_.Path(), home_.Settings());
        Click(dialog, "1016");
        Click(dialog, "1");
    }
    EXPECT_EQ(Value(0), ",,,");
    EXPECT_EQ(Value(1), "b.poi");
    {
        DlgPoiManager dialog(home_.Path(), home_.Settings());
        Click(dialog, "1015");
        for (int i = 0; i < dialog.ItemCount(); ++i) {
            EXPECT_TRUE(dialog.IsTicked(i));
        }
        Click(dialog, "2");
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(Value(0), ",,,");
}

TEST_F(PoiManagerTest, TheGpxVariantListsTheRoutesFolderUnderItsOwnKeys) {
    home_.Write("../Routes_POIs/trip.gpx", "<gpx/>");
    home_.Write("../Routes_POIs/TRIP2.GPX", "<gpx/>");
    home_.Settings().Set(kEnabledGpxFiles, 0, "trip.gpx");
    DlgGpxManager dialog(home_.Path(), home_.Settings());
    EXPECT_EQ(dialog.windowTitle(), "POI Manager");
    EXPECT_EQ(dialog.findChild<QTreeWidget*>("1012")->headerItem()->text(0), "Routes");
    ASSERT_EQ(dialog.ItemCount(), 2);
    EXPECT_TRUE(dialog.IsTicked(Index(dialog, "trip.gpx")));
    Click(dialog, "1");
    EXPECT_EQ(home_.Settings().Get(kEnabledGpxFiles, 0), "trip.gpx");
    EXPECT_EQ(home_.Settings().Get(kEnabledGpxFiles, 1), ",,,");
    EXPECT_EQ(Value(0), "");  // the POI list untouched
}

TEST_F(PoiManagerTest, AnEmptyFolderGivesAnEmptyListAndOkSwitchesEverythingOff) {
    PoiHome empty;
    empty.Tick({"a.poi"});
    DlgPoiManager dialog(empty.Path(), empty.Settings());
    EXPECT_EQ(dialog.ItemCount(), 0);
    dialog.accept();
    EXPECT_EQ(empty.Settings().Get(kEnabledPoiFiles, 0), ",,,");
}

}  // namespace
}  // namespace poi

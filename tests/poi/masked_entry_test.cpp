// The masked coordinate fields and the Add-POI dialog, driven by key clicks as a user types.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTest>

#include "gpx_peers.h"
#include "platform/message_box.h"
#include "poi/dlg_add_poi.h"
#include "poi/vlm_mfc_full_mask.h"
#include "qt_print.h"
#include "routes_home.h"

namespace poi {
namespace {

QString T(QStringView text) {
    return text.toString();
}

TEST(FullMask, PatternsGiveOneElementPerPositionWithRangesSpelledOut) {
    FullMask mask;
    mask.SetMask(kLongitudeMask);
    ASSERT_EQ(mask.ElementCount(), 12);
    EXPECT_EQ(mask.Element(0).chars, "WE");
    EXPECT_EQ(mask.Element(1).kind, MaskElement::kLiteral);
    EXPECT_EQ(mask.Element(2).chars, "0123456789");
    EXPECT_EQ(mask.Element(5).chars, T(u"°"));
    mask.SetMask(T(u"[a-cx][9-1]"));
    EXPECT_EQ(mask.Element(0).chars, "abcx");
    EXPECT_EQ(mask.Element(1).chars, "9");  // a range downward adds nothing
    EXPECT_EQ(mask.InvalidMessage(0), "You can Only Type [abcx] here.");
    EXPECT_EQ(mask.InvalidMessage(2), "");
}

TEST(FullMask, SetTextKeepsWhatTheMaskTakesWithItsOwnLiterals) {
    FullMask mask;
    mask.SetMask(kLatitudeMask);
    EXPECT_EQ(mask.SetText(T(u"N041°09.88'")), T(u"N 41°09.88'"));
    EXPECT_EQ(mask.SetText(T(u"N04x°09.88'")), T(u"N 4"));
    mask.SetMask(kLongitudeMask);
    EXPECT_EQ(mask.SetText(T(u"E0023°43.50''")), T(u"E 023°43.50'"));
}

// A latitude field showing N 41°09.88', with every message box caught.
class MaskedFieldTest : public ::testing::Test {
protected:
    MaskedFieldTest() {
        previous_ = platform::SetMessageBoxHandler(
            [this](const QString& text) { messages_.push_back(text); });
        field_.SetMask(kLatitudeMask);
        field_.SetText(T(u"N041°09.88'"));
        field_.show();
    }
    ~MaskedFieldTest() override { platform::SetMessageBoxHandler(std::move(previous_)); }

    void At(int caret) { field_.setCursorPosition(caret); }

    VlmMFCFullMask field_;
    std::vector<QString> messages_;
    platform::MessageBoxHandler previous_;
};

TEST_F(MaskedFieldTest, TypingOverwritesAndTheCaretSkipsLiterals) {
    EXPECT_EQ(field_.text(), T(u"N 41°09.88'"));
    EXPECT_EQ(field_.cursorPosition(), 11);
    At(0);
    QTest::keyClick(&field_, Qt::Key_S, Qt::NoModifier);
    EXPECT_EQ(field_.text(), T(u"S 41°09.88'"));
    EXPECT_EQ(field_.cursorPosition(), 2);
    QTest::keyClicks(&field_, "3352");
    EXPECT_EQ(field_.text(), T(u"S 33°52.88'"));
    EXPECT_EQ(field_.cursorPosition(), 8);
    QTest::keyClicks(&field_, "00");
    EXPECT_EQ(field_.text(), T(u"S 33°52.00'"));
    // Past the end: removed without a message.
    QTest::keyClicks(&field_, "7");
    QTest::keyClicks(&field_, "7");
    EXPECT_EQ(field_.text(), T(u"S 33°52.00'"));
    At(0);
    QTest::keyClicks(&field_, "n");  // an upper-case field
    EXPECT_EQ(field_.text(), T(u"N 33°52.00'"));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MaskedFieldTest, ARefusedCharacterShowsWhatTheFieldTakes) {
    At(0);
    QTest::keyClicks(&field_, "X");
    EXPECT_EQ(field_.text(), T(u"N 41°09.88'"));
    EXPECT_EQ(field_.cursorPosition(), 0);
    At(3);
    QTest::keyClicks(&field_, "-");
    EXPECT_EQ(field_.text(), T(u"N 41°09.88'"));
    EXPECT_EQ(field_.cursorPosition(), 3);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0], "You can Only Type [NS] here.");
    EXPECT_EQ(messages_[1], "You can Only Type [0123456789] here.");
}

TEST_F(MaskedFieldTest, BackspaceAndDeleteKeepLiteralsAndPutThePromptInDigits) {
    At(5);
    QTest::keyClick(&field_, Qt::Key_Backspace);  // over the degree sign
    EXPECT_EQ(field_.text(), T(u"N 41°09.88'"));
    EXPECT_EQ(field_.cursorPosition(), 4);
    QTest::keyClick(&field_, Qt::Key_Backspace);  // over the last degree digit
    EXPECT_EQ(field_.text(), T(u"N 4_°09.88'"));
    EXPECT_EQ(field_.cursorPosition(), 3);
    At(5);
    QTest::keyClick(&field_, Qt::Key_Delete);
    EXPECT_EQ(field_.text(), T(u"N 4_°_9.88'"));
    EXPECT_EQ(field_.cursorPosition(), 6);
    At(1);
    QTest::keyClick(&field_, Qt::Key_Delete);  // the literal space stays
    EXPECT_EQ(field_.text(), T(u"N 4_°_9.88'"));
    EXPECT_EQ(field_.cursorPosition(), 2);
    // Read as OK reads it: "_9.88" minutes are 0, "4_" degrees are 4.
    EXPECT_EQ(dlgAddPOI::LatitudeFromText(field_.text()), 4.0f);
    EXPECT_TRUE(messages_.empty());
}

class AddPoiDialogTest : public RoutesTest {
protected:
    // 10:07 local time on 2 March 2008.
    AddPoiDialogTest() : RoutesTest(2008, 3, 2, 10, 7, 0) {}

    template <typename Widget>
    Widget* Control(dlgAddPOI& dialog, int id) {
        return dialog.findChild<Widget*>(QString::number(id));
    }
    void Type(dlgAddPOI& dialog, int id, const QString& text) {
        auto* edit = Control<QLineEdit>(dialog, id);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
};

TEST_F(AddPoiDialogTest, OpensOnThePositionAndOkWritesTheWaypoint) {
    dlgAddPOI dialog(41.164673f, 23.725f, 123.4f, routes_.Folder());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Add a POI");
    EXPECT_EQ(Control<QLineEdit>(dialog, dlgAddPOI::kLatitudeId)->text(), T(u"N 41°09.88'"));
    EXPECT_EQ(Control<QLineEdit>(dialog, dlgAddPOI::kLongitudeId)->text(), T(u"E 023°43.50'"));
    EXPECT_EQ(Control<QLineEdit>(dialog, dlgAddPOI::kAltitudeId)->text(), "123.40 m");

    QTest::keyClicks(Control<QComboBox>(dialog, dlgAddPOI::kCategoryId), "Water");
    QTest::keyClicks(Control<QLineEdit>(dialog, dlgAddPOI::kNameId), "Camp");
    auto* latitude = Control<QLineEdit>(dialog, dlgAddPOI::kLatitudeId);
    latitude->setCursorPosition(0);
    QTest::keyClicks(latitude, "S335200");
    Type(dialog, dlgAddPOI::kAltitudeId, "250.00 m");
    QTest::mouseClick(dialog.findChild<QPushButton*>("1"), Qt::LeftButton);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(routes_.Names(), QStringList{"Camp_2008_3_2__7.gpx"});
    EXPECT_EQ(dialog.WrittenFile(), routes_.Path("Camp_2008_3_2__7.gpx"));
    const QByteArray file = routes_.Read("Camp_2008_3_2__7.gpx");
    EXPECT_TRUE(
        file.endsWith("<wpt lat=\"-33.866665\" lon=\"23.725000\">\r\n"
                      "<ele>250.000000</ele>\r\n<name>Camp</name>\r\n"
                      "<Category>Water</Category>\r\n</wpt>\r\n</gpx>\r\n"))
        << file.constData();
}

TEST_F(AddPoiDialogTest, CancelWritesNothing) {
    dlgAddPOI dialog(41.0f, 23.0f, 0.0f, routes_.Folder());
    dialog.show();
    QTest::keyClicks(Control<QLineEdit>(dialog, dlgAddPOI::kNameId), "Camp");
    QTest::mouseClick(dialog.findChild<QPushButton*>("2"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(routes_.Names().isEmpty());
}

TEST_F(AddPoiDialogTest, AnyNameGivesAValidFileUnderASafeNameOverNothing) {
    ASSERT_TRUE(routes_.Write("_2008_3_2__7.gpx", "older"));
    const QString names[] = {"a<b&c\"d/e", QString(300, u'x'), "../../escape", ""};
    for (const QString& name : names) {
        dlgAddPOI dialog(41.0f, 23.0f, 0.0f, routes_.Folder());
        Control<QComboBox>(dialog, dlgAddPOI::kCategoryId)->setEditText("<&>");
        Control<QLineEdit>(dialog, dlgAddPOI::kNameId)->setText(name);
        Type(dialog, dlgAddPOI::kAltitudeId, "inf");
        dialog.accept();
        const QString written = dialog.WrittenFile();
        ASSERT_FALSE(written.isEmpty()) << name.toStdString();
        EXPECT_EQ(QFileInfo(written).absolutePath(), QDir(routes_.Folder()).absolutePath());
        EXPECT_LE(QFileInfo(written).fileName().toUtf8().size(), 255);
        QFile file(written);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().contains("<ele>0.000000</ele>"));
        if (HasPeer("xmllint")) {
            QString errors;
            EXPECT_TRUE(IsWellFormed(written, &errors)) << errors.toStdString();
        }
    }
    EXPECT_EQ(routes_.Read("_2008_3_2__7.gpx"), "older");
    EXPECT_EQ(routes_.Names().size(), 5);
}

}  // namespace
}  // namespace poi

#include "poi/dlg_add_poi.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>
#include <string>

#include "formats/coord_format.h"
#include "platform/c_format.h"
#include "poi/gpx_writer.h"
#include "poi/vlm_mfc_full_mask.h"

namespace poi {
namespace {

// Where the fields' numbers stand in the masked texts N 41°09.88' and E 023°43.50'.
constexpr int kDegreesAt = 2;
constexpr int kLatitudeDegreeDigits = 2;
constexpr int kLongitudeDegreeDigits = 3;
constexpr int kMinutesDigits = 5;

bool IsCSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

// The leading whole number of `text` as the C library's atol reads it: blanks, a sign, digits;
// 0 without digits.
int LeadingInteger(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min(value * 10 + (text[i].unicode() - u'0'), 1000000000LL);
    }
    return int(negative ? -value : value);
}

// The leading decimal number of `text` as strtod reads one: blanks, a sign, digits with an
// optional point and exponent; 0 without digits. Spelled-out infinities and NaN are not
// numbers here.
double LeadingDecimal(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    std::string ascii;
    for (; i < text.size() && text[i].unicode() < 0x80; ++i) {
        ascii += char(text[i].unicode());
    }
    const char* begin = ascii.data();
    const char* end = begin + ascii.size();
    bool negative = false;
    if (begin < end && (*begin == '-' || *begin == '+')) {
        negative = *begin == '-';
        ++begin;
    }
    if (begin == end || !(std::isdigit(static_cast<unsigned char>(*begin)) || *begin == '.')) {
        return 0.0;
    }
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(begin, end, value);
    if (result.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

float CoordinateFromText(const QString& text, int degreeDigits) {
    const QChar letter = text.isEmpty() ? QChar(u'N') : text[0];
    const int degrees = LeadingInteger(QStringView(text).mid(kDegreesAt, degreeDigits));
    const int minutesAt = kDegreesAt + degreeDigits + 1;
    const float minutes = float(LeadingDecimal(QStringView(text).mid(minutesAt, kMinutesDigits)));
    return formats::CoordValue(degrees, minutes, letter).value;
}

}  // namespace

dlgAddPOI::dlgAddPOI(float latitude, float longitude, float altitude, const QString& routesFolder,
                     QWidget* parent)
    : QDialog(parent),
      categoryCombo_(new QComboBox(this)),
      latitudeEdit_(new VlmMFCFullMask(this)),
      longitudeEdit_(new VlmMFCFullMask(this)),
      initialLatitude_(latitude),
      initialLongitude_(longitude),
      initialAltitude_(altitude),
      nameEdit_(new QLineEdit(this)),
      altitudeEdit_(new QLineEdit(this)),
      routesFolder_(routesFolder) {
    setWindowTitle(QStringLiteral("Add a POI"));
    categoryCombo_->setEditable(true);
    categoryCombo_->setInsertPolicy(QComboBox::InsertAlphabetically);
    categoryCombo_->setObjectName(QString::number(kCategoryId));
    nameEdit_->setObjectName(QString::number(kNameId));
    latitudeEdit_->setObjectName(QString::number(kLatitudeId));
    longitudeEdit_->setObjectName(QString::number(kLongitudeId));
    altitudeEdit_->setObjectName(QString::number(kAltitudeId));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Kategory"), categoryCombo_);
    form->addRow(QStringLiteral("Name"), nameEdit_);
    form->addRow(QStringLiteral("Lat"), latitudeEdit_);
    form->addRow(QStringLiteral("Lon"), longitudeEdit_);
    form->addRow(QStringLiteral("Alt"), altitudeEdit_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("1"));
    cancel->setObjectName(QStringLiteral("2"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // Style 4 puts '0' where the mask has its literal space, and the longitude gets one more
    // apostrophe than the mask takes: SetText shows N 41°09.88' and E 023°43.50'.
    QString text;
    latitudeEdit_->SetMask(kLatitudeMask);
    formats::FormatLatitude(initialLatitude_, text, formats::kCoordStyleMaskedEntry);
    latitudeEdit_->SetText(text);
    longitudeEdit_->SetMask(kLongitudeMask);
    formats::FormatLongitude(initialLongitude_, text, formats::kCoordStyleMaskedEntry);
    longitudeEdit_->SetText(text + u'\'');
    altitude_ = QString::fromStdString(platform::FormatC("%.2f m", double(initialAltitude_)));
    altitudeEdit_->setText(altitude_);
}

dlgAddPOI::~dlgAddPOI() = default;

float dlgAddPOI::LatitudeFromText(const QString& text) {
    return CoordinateFromText(text, kLatitudeDegreeDigits);
}

float dlgAddPOI::LongitudeFromText(const QString& text) {
    return CoordinateFromText(text, kLongitudeDegreeDigits);
}

float dlgAddPOI::AltitudeFromText(const QString& text) {
    const float metres = float(LeadingDecimal(text));
    // A number too large for single precision would be written as "inf", which no GPX reader
    // takes.
    return std::isfinite(metres) ? metres : 0.0f;
}

void dlgAddPOI::accept() {
    category_ = categoryCombo_->currentText();
    name_ = nameEdit_->text();
    altitude_ = altitudeEdit_->text();

    Waypoint waypoint;
    waypoint.latitude = LatitudeFromText(latitudeEdit_->text());
    waypoint.longitude = LongitudeFromText(longitudeEdit_->text());
    waypoint.altitude = AltitudeFromText(altitude_);
    waypoint.name = name_;
    waypoint.category = category_;
    // A file that cannot be written closes the dialog all the same, without a message.
    writtenFile_ = WriteWaypointFile(routesFolder_, waypoint);
    QDialog::accept();
}

}  // namespace poi

#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;

namespace poi {

class VlmMFCFullMask;

// "Add a POI": category, name, latitude, longitude and altitude, filled with the position it is
// opened at. OK writes the point as a one-waypoint GPX file into the routes folder (its name
// made safe and never over an existing file); Cancel writes nothing. The point shows on the map
// once the user ticks the file in the GPX manager.
//
//   poi::dlgAddPOI dialog(latitude, longitude, altitude, app.routesFolder(), this);
//   dialog.exec();
class dlgAddPOI : public QDialog {
    Q_OBJECT
public:
    // Control ids, also the controls' object names.
    static constexpr int kCategoryId = 1000;
    static constexpr int kNameId = 1011;
    static constexpr int kLatitudeId = 1001;
    static constexpr int kLongitudeId = 1002;
    static constexpr int kAltitudeId = 1003;

    // Degrees (north and east positive) and metres above sea level.
    dlgAddPOI(float latitude, float longitude, float altitude, const QString& routesFolder,
              QWidget* parent = nullptr);
    ~dlgAddPOI() override;

    // The file OK wrote; empty before OK or when it could not be written.
    const QString& WrittenFile() const { return writtenFile_; }

    void accept() override;

    // The coordinates the fields' texts stand for, as OK reads them.
    static float LatitudeFromText(const QString& text);
    static float LongitudeFromText(const QString& text);
    // Metres from the altitude text ("250.00 m"): its leading number, 0 when there is none.
    static float AltitudeFromText(const QString& text);

private:
    QComboBox* categoryCombo_;
    QString category_;
    VlmMFCFullMask* latitudeEdit_;
    VlmMFCFullMask* longitudeEdit_;
    QString altitude_;
    float initialLatitude_;
    float initialLongitude_;
    float initialAltitude_;
    QString name_;
    QLineEdit* nameEdit_;
    QLineEdit* altitudeEdit_;
    QString routesFolder_;
    QString writtenFile_;
};

}  // namespace poi

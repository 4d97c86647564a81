#include "platform/settings_store.h"

#include <QFile>
#include <QSettings>
#include <QStringList>

#include <cmath>

#include "platform/c_format.h"
#include "platform/program_folder.h"

namespace platform {
namespace {

QString PathOf(const char* section, const char* key) {
    return QLatin1String(section) + QLatin1Char('/') + QLatin1String(key);
}

// INI text that holds commas reads back as a list; the stored value is the whole text.
QString TextOf(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(','));
    }
    if (value.typeId() == QMetaType::QByteArray) {
        return QString::fromUtf8(value.toByteArray());
    }
    return value.toString();
}

QString ListValueName(const settings::ListKey& key, int index) {
    return QString::fromStdString(FormatC(key.keyFormat, index));
}

}  // namespace

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings, bool recovered)
    : settings_(std::move(settings)), recovered_(recovered) {}

SettingsStore::~SettingsStore() {
    if (settings_) {
        settings_->sync();
    }
}

std::unique_ptr<SettingsStore> SettingsStore::Open(std::unique_ptr<QSettings> settings) {
    if (settings->status() != QSettings::FormatError) {
        return std::unique_ptr<SettingsStore>(new SettingsStore(std::move(settings), false));
    }
    const QString path = settings->fileName();
    const QSettings::Scope scope = settings->scope();
    const QString organisation = settings->organizationName();
    const QString application = settings->applicationName();
    const bool namedFile = organisation.isEmpty() && application.isEmpty();
    settings.reset();
    const QString aside = path + QStringLiteral(".bad");
    QFile::remove(aside);
    if (!QFile::rename(path, aside)) {
        QFile::remove(path);
    }
    auto fresh = namedFile ? std::make_unique<QSettings>(path, QSettings::IniFormat)
                           : std::make_unique<QSettings>(QSettings::IniFormat, scope, organisation,
                                                         application);
    return std::unique_ptr<SettingsStore>(new SettingsStore(std::move(fresh), true));
}

std::unique_ptr<SettingsStore> SettingsStore::OpenUser() {
    return Open(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Quillon"), QStringLiteral("Velmora")));
}

std::unique_ptr<SettingsStore> SettingsStore::OpenFile(const QString& path) {
    return Open(std::make_unique<QSettings>(path, QSettings::IniFormat));
}

std::unique_ptr<SettingsStore> SettingsStore::OpenForHome(const QString& home) {
    return OpenFile(home + QLatin1String(kHomeSettingsTail));
}

QString SettingsStore::FilePath() const {
    return settings_->fileName();
}

QString SettingsStore::GetString(const char* section, const char* key,
                                 const QString& fallback) const {
    const QVariant value = settings_->value(PathOf(section, key));
    return value.isValid() ? TextOf(value) : fallback;
}

uint32_t SettingsStore::GetInt(const char* section, const char* key, uint32_t fallback) const {
    const QVariant value = settings_->value(PathOf(section, key));
    if (!value.isValid()) {
        return fallback;
    }
    // Decimal, or hexadecimal with 0x as people write colours; negative numbers wrap as a
    // 32-bit value does.
    bool ok = false;
    const qlonglong number = TextOf(value).trimmed().toLongLong(&ok, 0);
    if (!ok || number < INT32_MIN || number > qlonglong(UINT32_MAX)) {
        return fallback;
    }
    return uint32_t(number);
}

std::optional<QByteArray> SettingsStore::GetBytes(const char* section, const char* key) const {
    const QVariant value = settings_->value(PathOf(section, key));
    if (value.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    return value.toByteArray();
}

void SettingsStore::WriteString(const char* section, const char* key, const QString& value) {
    settings_->setValue(PathOf(section, key), value);
}

void SettingsStore::WriteInt(const char* section, const char* key, uint32_t value) {
    settings_->setValue(PathOf(section, key), qlonglong(value));
}

void SettingsStore::WriteBytes(const char* section, const char* key, const QByteArray& value) {
    settings_->setValue(PathOf(section, key), value);
}

QString SettingsStore::Get(const settings::StringKey& key) const {
    return GetString(key.section, key.key, QLatin1String(key.defaultValue));
}

uint32_t SettingsStore::Get(const settings::DwordKey& key) const {
    return GetInt(key.section, key.key, key.defaultValue);
}

ColorRef SettingsStore::Get(const settings::ColorKey& key) const {
    return GetInt(key.section, key.key, key.defaultValue.value_or(SystemWindowColor()));
}

std::optional<LogFont> SettingsStore::Get(const settings::FontKey& key) const {
    const std::optional<QByteArray> bytes = GetBytes(key.section, key.key);
    return bytes ? LogFont::FromBytes(*bytes) : std::nullopt;
}

QString SettingsStore::Get(const settings::ListKey& key, int index) const {
    const QString name = ListValueName(key, index);
    const QVariant value = settings_->value(QLatin1String(key.section) + QLatin1Char('/') + name);
    return value.isValid() ? TextOf(value) : QString();
}

void SettingsStore::Set(const settings::StringKey& key, const QString& value) {
    WriteString(key.section, key.key, value);
}

void SettingsStore::Set(const settings::DwordKey& key, uint32_t value) {
    WriteInt(key.section, key.key, value);
}

void SettingsStore::Set(const settings::ColorKey& key, ColorRef value) {
    WriteInt(key.section, key.key, value);
}

void SettingsStore::Set(const settings::FontKey& key, const LogFont& value) {
    WriteBytes(key.section, key.key, value.ToBytes());
}

void SettingsStore::Set(const settings::ListKey& key, int index, const QString& value) {
    settings_->setValue(QLatin1String(key.section) + QLatin1Char('/') + ListValueName(key, index),
                        value);
}

float SettingsStore::GetFloat(const settings::StringKey& key) const {
    // "inf" and "nan" parse as numbers but are no position or scale; they read as text that is
    // no number does.
    const float value = float(ParseCDouble(Get(key).toStdString()));
    return std::isfinite(value) ? value : 0.0f;
}

void SettingsStore::SetFloat(const settings::StringKey& key, double value) {
    Set(key, QString::fromStdString(FormatC("%f", value)));
}

bool SettingsStore::Sync() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

}  // namespace platform

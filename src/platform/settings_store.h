#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/color.h"
#include "platform/log_font.h"
#include "platform/settings_keys.h"

class QSettings;

namespace platform {

// The program's settings: an INI file, ~/.config/Quillon/Velmora.conf for the user, or the own
// file of a data home given with --home. A missing value reads as its default; a font value that
// is not exactly 92 bytes reads as missing. A file that is not valid INI is moved aside to
// "<file>.bad" and the store starts empty, so the user's edits are not lost and nothing reads
// half a file.
class SettingsStore {
public:
    static std::unique_ptr<SettingsStore> OpenUser();
    static std::unique_ptr<SettingsStore> OpenFile(const QString& path);
    static std::unique_ptr<SettingsStore> OpenForHome(const QString& home);

    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    QString FilePath() const;
    // True when the file was malformed and has been set aside.
    bool RecoveredFromBadFile() const { return recovered_; }

    // Profile access by section and key.
    QString GetString(const char* section, const char* key, const QString& fallback) const;
    uint32_t GetInt(const char* section, const char* key, uint32_t fallback) const;
    std::optional<QByteArray> GetBytes(const char* section, const char* key) const;
    void WriteString(const char* section, const char* key, const QString& value);
    void WriteInt(const char* section, const char* key, uint32_t value);
    void WriteBytes(const char* section, const char* key, const QByteArray& value);

    // The values of the key table.
    QString Get(const settings::StringKey& key) const;
    uint32_t Get(const settings::DwordKey& key) const;
    ColorRef Get(const settings::ColorKey& key) const;
    std::optional<LogFont> Get(const settings::FontKey& key) const;
    // Value `index` of a numbered list; empty when missing.
    QString Get(const settings::ListKey& key, int index) const;

    void Set(const settings::StringKey& key, const QString& value);
    void Set(const settings::DwordKey& key, uint32_t value);
    void Set(const settings::ColorKey& key, ColorRef value);
    void Set(const settings::FontKey& key, const LogFont& value);
    void Set(const settings::ListKey& key, int index, const QString& value);

    // A number kept as text: read as the C library reads it (text that is no number gives 0.0)
    // and narrowed to single precision; written with "%f".
    float GetFloat(const settings::StringKey& key) const;
    void SetFloat(const settings::StringKey& key, double value);

    // Writes pending changes to the file now.
    bool Sync();

private:
    SettingsStore(std::unique_ptr<QSettings> settings, bool recovered);
    static std::unique_ptr<SettingsStore> Open(std::unique_ptr<QSettings> settings);

    std::unique_ptr<QSettings> settings_;
    bool recovered_ = false;
};

}  // namespace platform

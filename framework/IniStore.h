#pragma once
#include "framework/PositionedWindow.h"
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace ql {

class IniDocument;

// One INI settings file. Nothing is cached: every read reads the file and every
// write replaces it at once (a new file in the same folder renamed over the old
// one, so a crash leaves either the old or the new file, never half of one).
// INI files hold window positions and layout settings, never secrets.
class IniStore {
public:
    static inline const QString kUnknown = QStringLiteral("---Unknown---");
    static constexpr qsizetype kRawLimit = 1000;

    // Remembers the file; names written with backslashes (".\\POSITION.INI")
    // are taken with forward slashes.
    void openStore(const QString& fileName);
    const QString& fileName() const { return fileName_; }

    // The stored value, or "" when the key is absent.
    QString readSetting(const QString& section, const QString& key) const;
    // The stored value (up to 1000 characters), or "---Unknown---" when absent.
    QString readSettingRaw(const QString& section, const QString& key) const;
    // False when the file cannot be written or a name or value cannot be stored
    // as given (line breaks, '=' in a key, ']' in a section).
    bool writeSetting(const QString& section, const QString& key, const QString& value);

    // Window positions under a section named after the window's procedure.
    bool saveWindow(const QString& section, const PositionedWindow& window);
    void restoreWindow(const QString& section, PositionedWindow& window) const;

private:
    using Settings = std::vector<std::pair<QString, QString>>;
    std::optional<QString> lookup(const QString& section, const QString& key) const;
    bool writeSettings(const QString& section, const Settings& settings);
    IniDocument load() const;

    QString fileName_;
};

} // namespace ql

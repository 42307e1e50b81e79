#pragma once
#include <QString>
#include <map>

namespace ql {

// Reading and writing one value of the Configuration table by its key.
class SettingsAccess {
public:
    virtual ~SettingsAccess() = default;
    // The stored value without trailing blanks; blank when the key was never written.
    virtual QString getSetting(const QString& key) = 0;
    virtual void putSetting(const QString& value, const QString& key) = 0;
    // True when the Configuration table reads as holding no records at all
    // (false when it cannot be read).
    virtual bool isEmpty() = 0;
    // Writes between the two calls commit together or not at all.
    virtual void beginWrites() {}
    virtual bool commitWrites() { return true; }
};

// Test double over a map; counts writes per key.
class MemorySettings : public SettingsAccess {
public:
    std::map<QString, QString> values;
    std::map<QString, int> writes;
    QString getSetting(const QString& key) override {
        auto it = values.find(key);
        return it == values.end() ? QString() : it->second;
    }
    void putSetting(const QString& value, const QString& key) override {
        values[key] = value;
        ++writes[key];
    }
    bool isEmpty() override { return values.empty(); }
};

} // namespace ql

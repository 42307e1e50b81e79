#pragma once
#include "platform/core/Prompter.h"
#include "platform/recordstore/DataTable.h"
#include "store/SettingsAccess.h"

namespace ql {

// GetSetting / PutSetting over the Configuration table: one record per key,
// the value as text. Read and write failures are shown as "Error!" messages.
class ConfigurationSettings : public SettingsAccess {
public:
    explicit ConfigurationSettings(Prompter& prompter);

    DataTable& table() { return table_; }
    QString getSetting(const QString& key) override;
    void putSetting(const QString& value, const QString& key) override;
    bool isEmpty() override;
    void beginWrites() override;
    bool commitWrites() override;

private:
    int fetchKey(const QString& key);

    Prompter& prompter_;
    DataTable table_;
    int keyIndex_;
};

} // namespace ql

#include "store/ConfigurationSettings.h"
#include "store/Layouts.h"

namespace ql {

namespace se = store_error;

ConfigurationSettings::ConfigurationSettings(Prompter& prompter)
    : prompter_(prompter), table_(configurationTable()),
      keyIndex_(configurationTable().keyIndex(QLatin1String("CF:KEYDATATYPE"))) {}

int ConfigurationSettings::fetchKey(const QString& key) {
    table_.record().setText("CF:DATATYPE", key);
    int code = table_.fetch(keyIndex_);
    if (code == se::NotOpen) {
        table_.open(access_mode::SharedReadWrite);
        table_.record().setText("CF:DATATYPE", key);
        code = table_.fetch(keyIndex_);
    }
    return code;
}

QString ConfigurationSettings::getSetting(const QString& key) {
    const int code = fetchKey(key);
    if (code != se::NoError) table_.clearBuffer(); // a failed read goes on with blank text
    if (code != se::NoError && code != se::RecordNotFound) {
        prompter_.ask({QStringLiteral("Error!"),
                       QStringLiteral("Error retrieving configuration information code ") + key +
                           QStringLiteral(" - ") + table_.errorText()});
    }
    return table_.record().text("CF:DATAVALUE");
}

void ConfigurationSettings::putSetting(const QString& value, const QString& key) {
    int code = fetchKey(key);
    if (code == se::RecordNotFound) {
        table_.clearBuffer();
        table_.record().setText("CF:DATATYPE", key);
        table_.record().setText("CF:DATAVALUE", value);
        // Added directly, not through the file manager: CF:DATEADDED stays 0.
        code = table_.add();
    } else if (code == se::NoError) {
        table_.record().setText("CF:DATAVALUE", value);
        code = table_.put();
    }
    if (code != se::NoError) {
        prompter_.ask({QStringLiteral("Error!"),
                       QStringLiteral("Error writing configuration information.  Code ") + key +
                           QStringLiteral(" - ") + table_.errorText()});
    }
}

// A table that cannot be opened or counted is not empty: taking it for empty
// would let the first-run carry-over write over the user's settings.
bool ConfigurationSettings::isEmpty() {
    if (!table_.isOpen()) table_.open(access_mode::SharedReadWrite);
    return table_.records() == 0;
}

void ConfigurationSettings::beginWrites() {
    if (!table_.isOpen()) table_.open(access_mode::SharedReadWrite);
    table_.stream();
}

bool ConfigurationSettings::commitWrites() { return table_.flush() == se::NoError; }

} // namespace ql

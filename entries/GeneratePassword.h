#pragma once
#include "health/PasswordStrength.h"
#include <optional>
#include "entries/PasswordGenerator.h"
#include "platform/core/Clipboard.h"
#include "platform/records/Record.h"
#include "store/SettingsAccess.h"
#include <functional>

namespace ql {

// What the generator window works through.
struct GeneratorServices {
    RandomSource& random;
    WordSource& words;
    SettingsAccess& settings;
    Clipboard& clipboard;
    Prompter& prompter;
    // Writes the user's three generator fields (U_:PASSWORDSIZE, U_:PASSWORDTYPE,
    // U_:CONCATENATIONTYPE) to the stored Users record.
    std::function<void(const Record& user)> saveUserDefaults;
};

// Where OK leaves the focus when it cannot generate yet.
enum class GeneratorFocus { None, Size, Type };

// The "Generate Password" window without widgets: its opening defaults, the
// enabling rule and what OK and "Fast Generate" do. The new password goes into
// P_:PASSWORD and P_:CONFIRMPASSWORD of `entry` and onto the clipboard.
class GeneratePassword {
public:
    static constexpr int kSmallestSize = 3;
    static constexpr int kLargestSize = 128;
    static constexpr int kShortestDefault = 6;
    static constexpr int kLongestDefault = 12;

    // Reads the defaults: the user's fields, then his settings, then fallbacks.
    GeneratePassword(GeneratorServices services, Record& user, Record& entry);

    const QString& type() const { return type_; }
    void setType(const QString& type) { type_ = normalizedType(type); }
    // 0 when no size is entered.
    int size() const { return size_; }
    void setSize(int size);
    const QString& concatenation() const { return concatenation_; }
    void setConcatenation(const QString& concatenation);

    // The size counts for every type but "Concatenated Words", the joiner only for it.
    bool sizeEnabled() const;
    bool concatenationEnabled() const { return !sizeEnabled(); }

    // Generates and stores the defaults (None: the window closes), or names
    // the control that needs an answer first.
    GeneratorFocus ok();
    // A 6 to 12 character alphanumeric password; the defaults stay as they were.
    void fastGenerate();
    // The strength of a password the window offers as set now, judged on a
    // sample drawn from `random` and dropped at once (never stored or shown);
    // nullopt while the settings make none.
    std::optional<PasswordStrength> offeredStrength(RandomSource& random) const;

    // The Configuration key of a default ("SaveSize", "SaveType", "SaveConc")
    // for a user, cut to the width of the key field.
    static QString settingKey(const QString& prefix, const QString& userName);

private:
    static QString normalizedType(const QString& type);
    void readDefaults();
    void generate(const QString& type, int size);
    void storeDefaults();
    QString userName() const;

    GeneratorServices services_;
    Record& user_;
    Record& entry_;
    QString type_;
    int size_ = 0;
    QString concatenation_;
};

} // namespace ql

#include "entries/GeneratePassword.h"
#include "entries/PasswordTypes.h"
#include "platform/secure/Wipe.h"
#include <algorithm>

namespace ql {

namespace {
constexpr int kSettingKeyWidth = 40;
const QString kSaveSize = QStringLiteral("SaveSize");
const QString kSaveType = QStringLiteral("SaveType");
const QString kSaveConc = QStringLiteral("SaveConc");
} // namespace

GeneratePassword::GeneratePassword(GeneratorServices services, Record& user, Record& entry)
    : services_(std::move(services)), user_(user), entry_(entry) {
    readDefaults();
}

QString GeneratePassword::settingKey(const QString& prefix, const QString& userName) {
    return (prefix + userName).left(kSettingKeyWidth);
}

QString GeneratePassword::normalizedType(const QString& type) {
    return normalizedPasswordType(type);
}

// Defaults are kept under the name the entry belongs to; an entry without one
// falls back to the current user's name.
QString GeneratePassword::userName() const {
    const QString owner = entry_.text("P_:USER");
    return owner.isEmpty() ? user_.text("U_:NAME") : owner;
}

void GeneratePassword::readDefaults() {
    SettingsAccess& settings = services_.settings;
    const QString name = userName();
    int size = int(user_.number("U_:PASSWORDSIZE"));
    if (size == 0) size = settings.getSetting(settingKey(kSaveSize, name)).trimmed().toInt();
    if (size == 0) size = int(services_.random.between(kShortestDefault, kLongestDefault));
    setSize(size);

    type_ = normalizedType(user_.text("U_:PASSWORDTYPE"));
    if (type_.isEmpty()) type_ = normalizedType(settings.getSetting(settingKey(kSaveType, name)));
    if (type_.isEmpty()) type_ = password_type::Alphanumeric;

    setConcatenation(user_.text("U_:CONCATENATIONTYPE"));
    if (concatenation_.isEmpty())
        setConcatenation(settings.getSetting(settingKey(kSaveConc, name)));
}

// A stored size outside the spin's range is brought into it.
void GeneratePassword::setSize(int size) {
    size_ = size == 0 ? 0 : std::clamp(size, kSmallestSize, kLargestSize);
}

void GeneratePassword::setConcatenation(const QString& concatenation) {
    concatenation_ = normalizedConcatenationType(concatenation);
}

bool GeneratePassword::sizeEnabled() const { return type_ != password_type::ConcatenatedWords; }

GeneratorFocus GeneratePassword::ok() {
    if (size_ == 0) return GeneratorFocus::Size;
    if (type_.isEmpty()) return GeneratorFocus::Type;
    generate(type_, size_);
    storeDefaults();
    return GeneratorFocus::None;
}

void GeneratePassword::fastGenerate() {
    generate(password_type::Alphanumeric,
             int(services_.random.between(kShortestDefault, kLongestDefault)));
}

std::optional<PasswordStrength> GeneratePassword::offeredStrength(RandomSource& random) const {
    if (type_.isEmpty() || (sizeEnabled() && size_ == 0)) return std::nullopt;
    PasswordGenerator generator(random, services_.words);
    GeneratedPassword sample = generator.generate(type_, size_, concatenation_);
    if (sample.password.isEmpty()) return std::nullopt;
    const PasswordStrength strength = estimateStrength(sample.password);
    wipeText(sample.password);
    return strength;
}

void GeneratePassword::generate(const QString& type, int size) {
    entry_.setText("P_:PASSWORD", QString());
    PasswordGenerator generator(services_.random, services_.words);
    const GeneratedPassword result = generator.generate(type, size, concatenation_);
    if (result.message) services_.prompter.ask(*result.message);
    entry_.setText("P_:PASSWORD", result.password);
    entry_.setText("P_:CONFIRMPASSWORD", entry_.text("P_:PASSWORD"));
    services_.clipboard.setText(entry_.text("P_:PASSWORD"));
}

void GeneratePassword::storeDefaults() {
    const QString name = userName();
    SettingsAccess& settings = services_.settings;
    settings.putSetting(QString::number(size_), settingKey(kSaveSize, name));
    settings.putSetting(type_, settingKey(kSaveType, name));
    settings.putSetting(concatenation_, settingKey(kSaveConc, name));
    user_.setNumber("U_:PASSWORDSIZE", size_);
    user_.setText("U_:PASSWORDTYPE", type_);
    user_.setText("U_:CONCATENATIONTYPE", concatenation_);
    if (services_.saveUserDefaults) services_.saveUserDefaults(user_);
}

} // namespace ql

#include "signin/OptionsModel.h"

namespace ql {

namespace k = settings_key;

const std::vector<DateFormatChoice>& dateFormatChoices() {
    static const std::vector<DateFormatChoice> choices = {
        {"Windows Default", "d17"},   {"October 31, 1959", "d4"}, {"OCT 31,1959", "d3"},
        {"10/31/59", "d1"},           {"10/31/1959", "d2"},       {"31 OCT 59", "d7"},
        {"31 OCT 1959", "d8"},        {"31/10/59", "d5"},         {"31/10/1959", "d6"},
        {"59/10", "d15"},             {"1959/10", "d16"},         {"10/59", "d13"},
        {"10/1959", "d14"},           {"Windows Default 2", "d18"},
    };
    return choices;
}

// A blank setting stands for the desktop's short date and is shown as that.
QString dateFormatShown(const QString& token) {
    if (token.trimmed().isEmpty()) return dateFormatChoices().front().shown;
    for (const auto& choice : dateFormatChoices())
        if (choice.token.compare(token.trimmed(), Qt::CaseInsensitive) == 0) return choice.shown;
    return token;
}

QString dateFormatToken(const QString& shown) {
    for (const auto& choice : dateFormatChoices())
        if (choice.shown == shown) return choice.token;
    return shown;
}

namespace {

// A blank setting stays blank unless the user picks a format other than the
// desktop default it stands for.
QString chosenDateFormat(const QString& stored, const QString& shown) {
    const QString token = dateFormatToken(shown);
    const bool desktopDefault = token == dateFormatChoices().front().token;
    return stored.trimmed().isEmpty() && desktopDefault ? stored : token;
}

QString badNumberMessage(const QString& label) {
    return QStringLiteral("%1 must be a whole number between %2 and %3.")
        .arg(label).arg(INT32_MIN).arg(INT32_MAX);
}

QString firstBadNumber(const std::vector<std::pair<QString, QString>>& fields) {
    for (const auto& [label, text] : fields)
        if (!parseUserNumber(text)) return badNumberMessage(label);
    return {};
}

int number(const QString& text) { return parseUserNumber(text).value_or(0); }
QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

} // namespace

MainOptionsModel::MainOptionsModel(SettingsAccess& settings, ProgramValues& values)
    : settings_(settings), values_(values) {}

MainOptionsForm MainOptionsModel::open() {
    MainOptionsForm form;
    form.fontType = values_.fontType;
    form.fontSize = values_.fontSize;
    form.fontColour = values_.fontColour;
    form.fontStyle = values_.fontStyle;
    form.dateFormatShown = dateFormatShown(values_.dateFormat);
    form.skip = settingNumber(settings_, k::Skip) != 0;
    form.clipboardSeconds = QString::number(settingNumber(settings_, k::ClipboardSeconds));
    form.inactivityMinutes = QString::number(settingNumber(settings_, k::InactivityMinutes));
    form.hideClipboard = settingNumber(settings_, k::HideClipboard) != 0;
    const Pacing pacing = readPacing(settings_, LimitPlace::MainOptionsOpen);
    form.groupDelay = QString::number(pacing.groupDelay);
    form.groupSize = QString::number(pacing.groupSize);
    form.monitorActive = settingNumber(settings_, k::MonitorActive) != 0;
    return form;
}

QString MainOptionsModel::checkNumbers(const MainOptionsForm& form) const {
    return firstBadNumber({{"Clear clipboard contents after how many seconds", form.clipboardSeconds},
                           {"Close after how many minutes of inactivity", form.inactivityMinutes},
                           {"Send Interval", form.groupDelay},
                           {"Maximum Number of Characters per Send Group", form.groupSize}});
}

bool MainOptionsModel::accept(const MainOptionsForm& form) {
    if (!checkNumbers(form).isEmpty()) return false;
    const QString dateFormat = chosenDateFormat(values_.dateFormat, form.dateFormatShown);
    settings_.putSetting(flag(form.skip), k::Skip);
    putSettingNumber(settings_, k::ClipboardSeconds, number(form.clipboardSeconds));
    putSettingNumber(settings_, k::InactivityMinutes, number(form.inactivityMinutes));
    settings_.putSetting(flag(form.hideClipboard), k::HideClipboard);
    putSettingNumber(settings_, k::GroupDelay, number(form.groupDelay));
    putSettingNumber(settings_, k::GroupSize, number(form.groupSize));
    settings_.putSetting(flag(form.monitorActive), k::MonitorActive);
    settings_.putSetting(kProgramVersion, k::Version);
    readMainValues(settings_, values_, LimitPlace::MainOptionsAfterOk);
    values_.dateFormat = dateFormat;
    settings_.putSetting(values_.dateFormat, k::DateFormat);
    settings_.putSetting(form.fontColour, k::FontColour);
    settings_.putSetting(form.fontStyle, k::FontStyle);
    settings_.putSetting(form.fontType, k::FontType);
    settings_.putSetting(form.fontSize, k::FontSize);
    readFontValues(settings_, values_);
    return true;
}

MonitorOptionsModel::MonitorOptionsModel(SettingsAccess& settings, ProgramValues& values)
    : settings_(settings), values_(values) {}

MonitorOptionsForm MonitorOptionsModel::open() {
    const Pacing pacing = readPacing(settings_, LimitPlace::MonitorOptionsOpen);
    stayOnTopAtOpen_ = values_.stayOnTop;
    return {QString::number(pacing.groupDelay), QString::number(pacing.groupSize),
            values_.stayOnTop != 0, values_.askOnRestore != 0, values_.askAtStart != 0};
}

QString MonitorOptionsModel::checkNumbers(const MonitorOptionsForm& form) const {
    return firstBadNumber({{"Send Interval", form.groupDelay},
                           {"Maximum Number of Characters per Send Group", form.groupSize}});
}

void MonitorOptionsModel::cancel(const MonitorOptionsForm& form) {
    values_.stayOnTop = form.stayOnTop;
    values_.askOnRestore = form.askOnRestore;
    values_.askAtStart = form.askAtStart;
}

std::optional<QString> MonitorOptionsModel::accept(const MonitorOptionsForm& form) {
    if (!checkNumbers(form).isEmpty()) return std::nullopt;
    cancel(form); // the switches edit the program values directly
    settings_.putSetting(flag(form.stayOnTop), k::StayOnTop);
    settings_.putSetting(flag(form.askOnRestore), k::AskOnRestore);
    settings_.putSetting(flag(form.askAtStart), k::AskAtStart);
    putSettingNumber(settings_, k::GroupDelay, number(form.groupDelay));
    putSettingNumber(settings_, k::GroupSize, number(form.groupSize));
    const Pacing pacing = readPacing(settings_, LimitPlace::MonitorStartUp);
    values_.groupDelay = pacing.groupDelay;
    values_.groupSize = pacing.groupSize;
    if (stayOnTopAtOpen_ && !form.stayOnTop) return kStayOnTopRemovalText;
    return QString();
}

} // namespace ql

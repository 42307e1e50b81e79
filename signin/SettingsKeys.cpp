#include "signin/SettingsKeys.h"
#include "framework/IniStore.h"
#include <memory>

namespace ql {

namespace k = settings_key;

int settingNumber(SettingsAccess& settings, const QString& key) {
    return parseUserNumber(settings.getSetting(key)).value_or(0);
}

void putSettingNumber(SettingsAccess& settings, const QString& key, int value) {
    settings.putSetting(QString::number(value), key);
}

std::optional<int> parseUserNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return 0;
    bool ok = false;
    const qlonglong value = trimmed.toLongLong(&ok, 10);
    if (!ok || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return int(value);
}

namespace {

struct LimitRule {
    int delayFloor;
    bool writeBack;
    bool switchMonitorOn; // QL_BS 0 also writes QL_MA := 1
};

LimitRule ruleFor(LimitPlace place) {
    switch (place) {
    case LimitPlace::MainStartUp: return {50, true, true};
    case LimitPlace::MainOptionsOpen: return {20, true, true};
    case LimitPlace::MainOptionsAfterOk: return {20, false, false};
    case LimitPlace::MonitorStartUp: return {20, false, false};
    case LimitPlace::MonitorOptionsOpen: return {20, true, false};
    case LimitPlace::MonitorReload: return {25, false, false};
    }
    return {20, false, false};
}

} // namespace

Pacing readPacing(SettingsAccess& settings, LimitPlace place) {
    const LimitRule rule = ruleFor(place);
    Pacing pacing{settingNumber(settings, k::GroupDelay), settingNumber(settings, k::GroupSize)};
    if (pacing.groupDelay < rule.delayFloor) {
        pacing.groupDelay = rule.delayFloor;
        if (rule.writeBack) putSettingNumber(settings, k::GroupDelay, pacing.groupDelay);
    }
    if (pacing.groupSize == 0) {
        pacing.groupSize = 7;
        if (rule.writeBack) putSettingNumber(settings, k::GroupSize, pacing.groupSize);
        if (rule.switchMonitorOn) putSettingNumber(settings, k::MonitorActive, 1);
    }
    return pacing;
}

OldSettingReader oldSettingsFromIni(const QString& fileName) {
    auto store = std::make_shared<IniStore>();
    store->openStore(fileName);
    return [store](const QString& key) {
        return store->readSetting(QStringLiteral("Fernwick"), key);
    };
}

bool versionNeedsUpgrade(double oldVersion) { return oldVersion >= 2.1; }

namespace {

// Carries the previous version's settings over into an empty Configuration,
// all or nothing, and marks the upgrade of its tables when one is due.
void importOldSettings(SettingsAccess& settings, const OldSettingReader& oldSettings) {
    const QString oldVersion = oldSettings ? oldSettings(k::Version).trimmed() : QString();
    settings.beginWrites();
    settings.putSetting(oldVersion, k::Version);
    for (const QString& key : {k::ClipboardSeconds, k::InactivityMinutes, k::Tray,
                               k::HideClipboard, k::GroupDelay, k::GroupSize, k::MonitorActive}) {
        const QString text = oldSettings ? oldSettings(key) : QString();
        putSettingNumber(settings, key, parseUserNumber(text).value_or(0));
    }
    putSettingNumber(settings, k::Skip, 1);
    bool numeric = false;
    const double version = oldVersion.toDouble(&numeric);
    if (numeric && versionNeedsUpgrade(version)) settings.putSetting(oldVersion, k::UpgradePending);
    settings.commitWrites();
}

void runPendingUpgrade(SettingsAccess& settings, const UpgradeHook& upgrade) {
    const QString pending = settings.getSetting(k::UpgradePending);
    if (pending.isEmpty() || !upgrade) return;
    upgrade(pending.toDouble());
    settings.putSetting(QString(), k::UpgradePending);
}

} // namespace

namespace {

// The values both programs load and carry, whatever they act on.
void readCommonValues(SettingsAccess& settings, ProgramValues& values) {
    values.skip = settingNumber(settings, k::Skip);
    values.clipboardSeconds = settingNumber(settings, k::ClipboardSeconds);
    values.inactivityMinutes = settingNumber(settings, k::InactivityMinutes);
    values.tray = settingNumber(settings, k::Tray);
    values.hideClipboard = settingNumber(settings, k::HideClipboard);
}

void readPacingValues(SettingsAccess& settings, ProgramValues& values, LimitPlace place) {
    const Pacing pacing = readPacing(settings, place);
    values.groupDelay = pacing.groupDelay;
    values.groupSize = pacing.groupSize;
}

} // namespace

void readMainValues(SettingsAccess& settings, ProgramValues& values, LimitPlace place) {
    readCommonValues(settings, values);
    readPacingValues(settings, values, place);
    values.monitorActive = settingNumber(settings, k::MonitorActive);
}

void readFontValues(SettingsAccess& settings, ProgramValues& values) {
    values.fontColour = settings.getSetting(k::FontColour);
    values.fontStyle = settings.getSetting(k::FontStyle);
    values.fontSize = settings.getSetting(k::FontSize);
    values.fontType = settings.getSetting(k::FontType);
}

ProgramValues loadMainStartUp(SettingsAccess& settings, const OldSettingReader& oldSettings,
                              const UpgradeHook& upgrade) {
    if (settings.isEmpty()) importOldSettings(settings, oldSettings);
    settings.putSetting(kProgramVersion, k::Version);
    runPendingUpgrade(settings, upgrade);
    ProgramValues values;
    values.dateFormat = settings.getSetting(k::DateFormat);
    readFontValues(settings, values);
    readMainValues(settings, values, LimitPlace::MainStartUp);
    return values;
}

ProgramValues loadMonitorValues(SettingsAccess& settings) {
    ProgramValues values;
    values.stayOnTop = settingNumber(settings, k::StayOnTop);
    values.askOnRestore = settingNumber(settings, k::AskOnRestore);
    values.askAtStart = settingNumber(settings, k::AskAtStart);
    readCommonValues(settings, values);
    readPacingValues(settings, values, LimitPlace::MonitorStartUp);
    return values;
}

void reloadMonitorValues(SettingsAccess& settings, ProgramValues& values) {
    readCommonValues(settings, values);
    values.askOnRestore = settingNumber(settings, k::AskOnRestore);
    values.askAtStart = settingNumber(settings, k::AskAtStart);
    readPacingValues(settings, values, LimitPlace::MonitorReload);
}

} // namespace ql

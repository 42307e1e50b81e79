#pragma once
#include "store/SettingsAccess.h"
#include <QString>
#include <functional>
#include <optional>

namespace ql {

// The program-wide values loaded from the Configuration table.
struct ProgramValues {
    int skip = 0;              // QL_Skip
    int clipboardSeconds = 0;  // QL_CI
    int inactivityMinutes = 0; // QL_IT
    int tray = 0;              // QL_Tray
    int hideClipboard = 0;     // QL_HC
    int groupDelay = 0;        // QL_GD, hundredths between send groups
    int groupSize = 0;         // QL_BS, characters per send group
    int monitorActive = 0;     // QL_MA
    int stayOnTop = 0;         // QL_SOT
    int askOnRestore = 0;      // QL_ASK
    int askAtStart = 0;        // QL_ASKIMM
    QString dateFormat = QStringLiteral("    ");
    QString fontType, fontSize, fontColour, fontStyle;
};

namespace settings_key {
inline const QString Skip = QStringLiteral("QL_Skip");
inline const QString ClipboardSeconds = QStringLiteral("QL_CI");
inline const QString InactivityMinutes = QStringLiteral("QL_IT");
inline const QString HideClipboard = QStringLiteral("QL_HC");
inline const QString GroupDelay = QStringLiteral("QL_GD");
inline const QString GroupSize = QStringLiteral("QL_BS");
inline const QString MonitorActive = QStringLiteral("QL_MA");
inline const QString Tray = QStringLiteral("QL_Tray");
inline const QString Version = QStringLiteral("QL_Version");
inline const QString StayOnTop = QStringLiteral("QL_SOT");
inline const QString AskOnRestore = QStringLiteral("QL_ASK");
inline const QString AskAtStart = QStringLiteral("QL_ASKIMM");
inline const QString DateFormat = QStringLiteral("DateFormat");
inline const QString FontType = QStringLiteral("FontType");
inline const QString FontSize = QStringLiteral("FontSize");
inline const QString FontColour = QStringLiteral("FontColour");
inline const QString FontStyle = QStringLiteral("FontStyle");
// The previous version whose tables still wait to be upgraded; blank once done.
inline const QString UpgradePending = QStringLiteral("QL_Upgrade");
} // namespace settings_key

inline const QString kProgramVersion = QStringLiteral("2.72");

// Numbers are stored as decimal text; blank (or anything that is not a number) reads as 0.
int settingNumber(SettingsAccess& settings, const QString& key);
void putSettingNumber(SettingsAccess& settings, const QString& key, int value);

// A number typed by the user: nullopt unless it is a whole decimal number that
// fits in 32 bits (blank counts as 0).
std::optional<int> parseUserNumber(const QString& text);

// The limits applied to QL_GD and QL_BS when they are read. Each place of the
// program that reads them has its own floor and write-back rule.
enum class LimitPlace {
    MainStartUp,       // QL_GD < 50 -> 50, written back; QL_BS 0 -> 7 written back + QL_MA := 1
    MainOptionsOpen,   // QL_GD < 20 -> 20, written back; QL_BS 0 -> 7 written back + QL_MA := 1
    MainOptionsAfterOk,// QL_GD < 20 -> 20; QL_BS 0 -> 7
    MonitorStartUp,    // same as after OK: no write-back
    MonitorOptionsOpen,// QL_GD < 20 -> 20, written back; QL_BS 0 -> 7 written back
    MonitorReload,     // QL_GD < 25 -> 25; QL_BS 0 -> 7
};
struct Pacing { int groupDelay; int groupSize; };
Pacing readPacing(SettingsAccess& settings, LimitPlace place);

// The previous version's settings, read once on a first run.
using OldSettingReader = std::function<QString(const QString& key)>;
// The previous version's settings from an INI file (WIN.INI in the data folder),
// section "Fernwick"; a missing file or key reads as blank.
OldSettingReader oldSettingsFromIni(const QString& fileName = QStringLiteral("WIN.INI"));
// Upgrades the previous version's tables, given the carried-over version.
using UpgradeHook = std::function<void(double oldVersion)>;

// Main program start-up: first-run import when Configuration is empty (in
// one transaction; a version that calls for it marks the old tables' upgrade
// as pending), the version stamp, the pending upgrade (marked done once it
// has run, so a run cut short is done again at the next start), then every
// value read with the start-up limits.
ProgramValues loadMainStartUp(SettingsAccess& settings, const OldSettingReader& oldSettings,
                              const UpgradeHook& upgrade);
// Reads the main program's values (used at start-up and after Options OK).
void readMainValues(SettingsAccess& settings, ProgramValues& values, LimitPlace place);
// Reads the four report font texts.
void readFontValues(SettingsAccess& settings, ProgramValues& values);
// The monitor program's values at start-up and after its Options OK.
ProgramValues loadMonitorValues(SettingsAccess& settings);
// The monitor program's periodic reload; the monitoring switch is not touched.
void reloadMonitorValues(SettingsAccess& settings, ProgramValues& values);

// True when a carried-over version calls for the upgrade of the old tables.
bool versionNeedsUpgrade(double oldVersion);

} // namespace ql

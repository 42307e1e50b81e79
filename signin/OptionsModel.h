#pragma once
#include "signin/SettingsKeys.h"
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace ql {

// The date formats offered in Options, in the order shown, with their stored tokens.
struct DateFormatChoice { QString shown; QString token; };
const std::vector<DateFormatChoice>& dateFormatChoices();
QString dateFormatShown(const QString& token);   // an unknown token is shown unchanged
QString dateFormatToken(const QString& shown);   // an unknown text is stored unchanged

// What the main program's Options window edits. Numbers are kept as the text
// the user typed until OK checks them.
struct MainOptionsForm {
    bool skip = false, hideClipboard = false, monitorActive = false;
    QString clipboardSeconds, inactivityMinutes, groupDelay, groupSize;
    QString dateFormatShown;
    QString fontType, fontSize, fontColour, fontStyle;
};

// Reads and writes of the main Options window; the window itself only shows the form.
class MainOptionsModel {
public:
    MainOptionsModel(SettingsAccess& settings, ProgramValues& values);
    // Fills the form as the window opens (file values with the opening limits).
    MainOptionsForm open();
    // A message naming the first number that is not a whole number within 32 bits, else empty.
    QString checkNumbers(const MainOptionsForm& form) const;
    // Writes everything and reloads the program values; false (nothing written)
    // when checkNumbers() finds a bad number.
    bool accept(const MainOptionsForm& form);

private:
    SettingsAccess& settings_;
    ProgramValues& values_;
};

// The monitor program's Options window: pacing numbers and three switches.
struct MonitorOptionsForm {
    QString groupDelay, groupSize;
    bool stayOnTop = false, askOnRestore = false, askAtStart = false;
};

class MonitorOptionsModel {
public:
    MonitorOptionsModel(SettingsAccess& settings, ProgramValues& values);
    MonitorOptionsForm open();
    QString checkNumbers(const MonitorOptionsForm& form) const;
    // Writes and reloads; returns the information text to show (stay-on-top was
    // switched off), or empty. nullopt when a number was refused.
    std::optional<QString> accept(const MonitorOptionsForm& form);
    // Cancel: the switches keep what the window changed until the next reload.
    void cancel(const MonitorOptionsForm& form);

private:
    SettingsAccess& settings_;
    ProgramValues& values_;
    int stayOnTopAtOpen_ = 0;
};

inline const QString kStayOnTopRemovalText = QStringLiteral(
    "The removal of the \"Stay On Top\" attribute will not take effect until your next "
    "Quillock Monitor session.");

} // namespace ql

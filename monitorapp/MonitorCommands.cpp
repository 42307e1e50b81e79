#include "monitorapp/MonitorCommands.h"
#include "entries/ProgramStarter.h"
#include "keys/RecordSendFields.h"
#include "monitor/StoreWatchedEntries.h"
#include "monitor/WindowMonitor.h"
#include "platform/core/Clipboard.h"
#include "platform/core/Launcher.h"
#include "platform/core/Prompter.h"
#include "platform/records/Record.h"

namespace ql {

namespace {

// The field each preset other than "Preset" stands for.
struct PresetField {
    QString preset;
    const char* field;
};
const PresetField kPresetFields[] = {
    {QStringLiteral("Password"), "P_:PASSWORD"}, {QStringLiteral("Name"), "P_:NAME"},
    {QStringLiteral("URL"), "P_:URL"},           {QStringLiteral("Service"), "P_:SERVICE"},
    {QStringLiteral("Notes"), "P_:NOTES"},       {QStringLiteral("More Notes"), "P_:MORENOTES"},
};

const char* fieldOf(const QString& preset) {
    for (const PresetField& p : kPresetFields)
        if (p.preset == preset) return p.field;
    return nullptr;
}

// The field token a preset sends: "[Password]", "[MoreNotes]", ...
QString presetToken(const QString& preset) {
    if (preset == QLatin1String("More Notes")) return QStringLiteral("[MoreNotes]");
    return u'[' + preset + u']';
}

bool startsProgram(const Record& entry, const QString& preset) {
    const QString program = withoutTrailingBlanks(entry.text("P_:FILENAME"));
    return preset == kPresetOwnText && !program.trimmed().isEmpty() &&
           program.trimmed().compare(QLatin1String("N/A"), Qt::CaseInsensitive) != 0;
}

} // namespace

const QStringList& monitorPresets() {
    static const QStringList presets{kPresetOwnText,          QStringLiteral("Password"),
                                     QStringLiteral("Name"),  QStringLiteral("URL"),
                                     QStringLiteral("Service"), QStringLiteral("Notes"),
                                     QStringLiteral("More Notes")};
    return presets;
}

void MonitorCommands::send(Record& entry, const QString& preset) {
    if (startsProgram(entry, preset) && mayStart(entry))
        runProgramOrDocument(services_.launcher, services_.prompter, services_.beep,
                             entry.text("P_:FILENAME"));
    WatchedEntry request = StoreWatchedEntries::entryFrom(entry);
    QString text = entry.text("P_:PASTE");
    if (preset != kPresetOwnText) {
        text = presetToken(preset);
        request.sendText = ExpandSendText(text, sendFieldsOf(entry));
        request.secondsToWait = 1;
    } else if (request.secondsToWait == 0) {
        request.secondsToWait = 1;
    }
    if (withoutTrailingBlanks(text).isEmpty()) return;
    if (services_.minimize) services_.minimize();
    services_.monitor.queueOneShotSend(request);
}

bool MonitorCommands::mayStart(Record& entry) {
    switch (consentToProgram(services_.prompter, entry, entry.text("P_:FILENAME"))) {
    case ProgramConsent::Trusted: return true;
    case ProgramConsent::Refused: return false;
    case ProgramConsent::ConfirmedNow: break;
    }
    if (services_.saveEntry) services_.saveEntry(entry);
    return true;
}

void MonitorCommands::copyToClipboard(const Record& entry, const QString& preset) {
    const char* field = fieldOf(preset);
    if (!field) {
        services_.prompter.ask({QStringLiteral("Warning"), kPresetToClipboardWarning,
                                int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
        return;
    }
    // The whole value: a password's trailing blanks are part of it.
    services_.clipboard.setText(entry.text(QLatin1String(field)));
}

void MonitorCommands::startUrl(const Record& entry) {
    const QString url = entry.text("P_:URL").trimmed();
    if (!url.isEmpty()) services_.launcher.openUrl(QUrl::fromUserInput(url));
}

} // namespace ql

#include "entries/ProgramStarter.h"
#include "store/ImportedEntries.h"
#include "entries/ShellWords.h"
#include "platform/records/Record.h"
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace ql {

namespace {

bool startProgram(Launcher& launcher, const QString& line) {
    if (const std::optional<QStringList> words = splitShellWords(line); words && !words->isEmpty()) {
        const QString program = executableFile(words->front());
        if (!program.isEmpty()) return launcher.startDetached(program, words->mid(1));
    }
    const QString whole = executableFile(line);
    return !whole.isEmpty() && launcher.startDetached(whole, {});
}

// An address with a scheme of two or more letters ("https:", "mailto:", "file:").
bool hasScheme(const QString& line) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(line).hasMatch();
}

bool openDocument(Launcher& launcher, const QString& line) {
    if (hasScheme(line)) return launcher.openUrl(QUrl(line));
    if (line.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return launcher.openUrl(QUrl(QStringLiteral("http://") + line));
    const QFileInfo file(line);
    if (!file.exists()) return false;
    return launcher.openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

} // namespace

QString executableFile(const QString& word) {
    if (word.isEmpty()) return {};
    if (word.contains(u'/')) {
        const QFileInfo file(word);
        return file.isFile() && file.isExecutable() ? file.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(word);
}

StartOutcome startProgramOrDocument(Launcher& launcher, const QString& commandLine) {
    const QString line = trimmedRight(commandLine).toString();
    if (line.trimmed().isEmpty()) return StartOutcome::Nothing;
    if (startProgram(launcher, line)) return StartOutcome::Started;
    return openDocument(launcher, line) ? StartOutcome::Opened : StartOutcome::Failed;
}

ProgramConsent consentToProgram(Prompter& prompter, Record& entry, const QString& commandLine) {
    if (imported_entry::programConfirmed(entry)) return ProgramConsent::Trusted;
    const PromptButton answer = prompter.ask(
        {QStringLiteral("Imported Entry"),
         kImportedProgramQuestion + QStringLiteral("\n\n") + trimmedRight(commandLine).toString(),
         int(PromptButton::Yes) | int(PromptButton::No), PromptButton::No, PromptIcon::Question});
    if (answer != PromptButton::Yes) return ProgramConsent::Refused;
    imported_entry::confirmProgram(entry);
    return ProgramConsent::ConfirmedNow;
}

bool runProgramOrDocument(Launcher& launcher, Prompter& prompter, const std::function<void()>& beep,
                          const QString& commandLine) {
    if (startProgramOrDocument(launcher, commandLine) != StartOutcome::Failed) return true;
    if (beep) beep();
    prompter.ask({QStringLiteral("Critical Error Message"),
                  QStringLiteral("EXE, Batch File or PIF File Not Found:") +
                      trimmedRight(commandLine).toString() +
                      QStringLiteral("\nPlease notify technical support immediately!"),
                  int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
    return false;
}

} // namespace ql

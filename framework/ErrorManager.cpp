#include "framework/ErrorManager.h"
#include "framework/BuiltinMessages.h"
#include "framework/MacroText.h"
#include "framework/MessageBlock.h"

namespace ql {
namespace {

QString trimmedRight(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == QLatin1Char(' ')) --end;
    return text.left(end);
}

QString field(const QString& text) { return text.left(ErrorManager::kFieldLimit); }

// Shown for an empty table: nothing.
const MessageEntry kNoMessage{};

} // namespace

ErrorManager::ErrorManager(Prompter& prompter, Halt halt)
    : prompter_(prompter), halt_(std::move(halt)) {
    addMessages(builtinMessageBlock());
}

void ErrorManager::addMessages(const QByteArray& block) {
    for (MessageEntry& row : parseMessageBlock(block)) errors_.push_back(std::move(row));
}

void ErrorManager::setRuntimeErrorSource(std::function<RuntimeError()> source) {
    source_ = std::move(source);
}

void ErrorManager::captureRuntimeError() {
    const RuntimeError error = source_ ? source_() : current_;
    saveErrorCode_ = error.code;
    saveError_ = field(trimmedRight(error.text));
    saveFileErrorCode_ = field(error.fileErrorCode);
    saveFileError_ = field(error.fileErrorText);
}

void ErrorManager::setFileName(const QString& name) { fileName_ = field(trimmedRight(name)); }

void ErrorManager::setFieldName(const QString& name) { fieldName_ = field(trimmedRight(name)); }

int ErrorManager::report(uint16_t id) {
    captureRuntimeError();
    return dispatchBySeverity(id);
}

int ErrorManager::reportForFile(uint16_t id, const QString& fileName) {
    setFileName(fileName);
    return report(id);
}

int ErrorManager::reportWithText(uint16_t id, const QString& text) {
    messageText_ = field(text);
    return report(id);
}

PromptButton ErrorManager::askWithButtons(uint16_t id, PromptButtons buttons,
                                          PromptButton defaultButton) {
    size_t index = 0;
    const MessageEntry& row = selectRow(id, index);
    return prompter_.ask({row.title, buildText(index), buttons, defaultButton,
                          PromptIcon::Exclamation});
}

int ErrorManager::dispatchBySeverity(uint16_t id) {
    size_t index = 0;
    const MessageEntry& row = selectRow(id, index);
    if (row.fatality == Severity::Silent) return Severity::Silent;
    const QString text = buildText(index);
    switch (row.fatality) {
    case Severity::Confirm:
    case Severity::Cancel:
        return confirm(row, text);
    case Severity::Notify:
        return notify(row, text);
    default:
        return endProgram(row, text);
    }
}

int ErrorManager::confirm(const MessageEntry& row, const QString& text) {
    const PromptButton answer =
        prompter_.ask({row.title, text, int(PromptButton::Yes) | int(PromptButton::No),
                       PromptButton::Yes, PromptIcon::Exclamation});
    return answer == PromptButton::Yes ? Severity::Silent : Severity::Cancel;
}

int ErrorManager::notify(const MessageEntry& row, const QString& text) {
    prompter_.ask({row.title, text, int(PromptButton::Ok), PromptButton::Ok,
                   PromptIcon::Information});
    return Severity::Notify;
}

int ErrorManager::endProgram(const MessageEntry& row, const QString& text) {
    prompter_.ask({row.title, text + kEndSuffix, int(PromptButton::Ok), PromptButton::Ok,
                   PromptIcon::Information});
    halt_(row.title);
    return Severity::Fatal; // only reached when a test's halt returns
}

QString ErrorManager::messageFor(uint16_t id) const {
    size_t index = 0;
    selectRow(id, index);
    return buildText(index);
}

QString ErrorManager::errorText() const {
    if (saveErrorCode_ == kFileDriverError)
        return saveFileError_ + QStringLiteral(" (") + saveFileErrorCode_ + QLatin1Char(')');
    return saveError_ + QStringLiteral(" (") + QString::number(saveErrorCode_) + QLatin1Char(')');
}

// The last row with the id wins, so later rows override earlier ones; with no
// match the first row is used.
const MessageEntry& ErrorManager::selectRow(uint16_t id, size_t& index) const {
    index = 0;
    if (errors_.empty()) return kNoMessage;
    for (size_t i = errors_.size(); i-- > 0;) {
        if (errors_[i].id == id) {
            index = i;
            break;
        }
    }
    return errors_[index];
}

// The macros go in this order so that "%ErrorText" is met before "%Error" and
// "%FileErrorCode" before "%FileError"; "%File" leaves the "%FileError..."
// macros alone so that they still show the driver's error.
QString ErrorManager::buildText(size_t index) const {
    if (errors_.empty()) return {};
    QString buffer = errors_[index].message.left(kBufferLimit);
    replaceMacro(buffer, QStringLiteral("%File"), fileName_, kBufferLimit, QStringLiteral("Error"));
    replaceMacro(buffer, QStringLiteral("%ErrorCode"), QString::number(saveErrorCode_), kBufferLimit);
    replaceMacro(buffer, QStringLiteral("%ErrorText"), errorText(), kBufferLimit);
    replaceMacro(buffer, QStringLiteral("%Error"), saveError_, kBufferLimit);
    replaceMacro(buffer, QStringLiteral("%FileErrorCode"), saveFileErrorCode_, kBufferLimit);
    replaceMacro(buffer, QStringLiteral("%FileError"), saveFileError_, kBufferLimit);
    replaceMacro(buffer, QStringLiteral("%Message"), messageText_, kBufferLimit);
    replaceMacro(buffer, QStringLiteral("%Field"), fieldName_, kBufferLimit);
    const QString previous = QStringLiteral("%Previous");
    if (buffer.contains(previous))
        replaceMacro(buffer, previous, previousMessage(index), kBufferLimit);
    return buffer;
}

// The text of the row that the selected row overrides, if any.
QString ErrorManager::previousMessage(size_t index) const {
    const uint16_t id = errors_[index].id;
    for (size_t i = index; i-- > 0;)
        if (errors_[i].id == id) return errors_[i].message;
    return {};
}

} // namespace ql

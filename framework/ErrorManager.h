#pragma once
#include "framework/Halt.h"
#include "framework/MessageEntry.h"
#include "framework/RuntimeError.h"
#include "platform/core/Prompter.h"
#include <QByteArray>
#include <functional>
#include <vector>

namespace ql {

// Builds, shows and rates the program's standard messages. Callers name a
// message by its id; the text comes from the message table with the file name,
// field name, free text and last runtime error put in, and the result tells
// the caller whether to go on (0), give up (4) or that it was shown (5).
// Fatal messages (levels 3, 2 and unknown levels) end the program through the
// halt with the message's title.
class ErrorManager {
public:
    static constexpr qsizetype kFieldLimit = 255;
    static constexpr qsizetype kBufferLimit = 2000;
    static inline const QString kEndSuffix = QStringLiteral("  Press OK to end this application");

    // Starts with the built-in message table.
    ErrorManager(Prompter& prompter, Halt halt);

    void addMessages(const QByteArray& block);
    const std::vector<MessageEntry>& messages() const { return errors_; }

    // Where captureRuntimeError reads the runtime's current error. Without a
    // source it reads the value last given to setRuntimeError.
    void setRuntimeErrorSource(std::function<RuntimeError()> source);
    void setRuntimeError(const RuntimeError& error) { current_ = error; }
    void captureRuntimeError();

    void setFileName(const QString& name);
    void setFieldName(const QString& name);

    int report(uint16_t id);
    int reportForFile(uint16_t id, const QString& fileName);
    int reportWithText(uint16_t id, const QString& text);
    PromptButton askWithButtons(uint16_t id, PromptButtons buttons, PromptButton defaultButton);
    int dispatchBySeverity(uint16_t id);

    // The message text of `id` with every macro put in, as it would be shown.
    QString messageFor(uint16_t id) const;
    // The value of %ErrorText: the error text and code of the captured error, or
    // of the driver's own error when the code is 90.
    QString errorText() const;

    const QString& fileName() const { return fileName_; }
    const QString& fieldName() const { return fieldName_; }
    const QString& messageText() const { return messageText_; }
    int savedErrorCode() const { return saveErrorCode_; }
    const QString& savedError() const { return saveError_; }
    const QString& savedFileErrorCode() const { return saveFileErrorCode_; }
    const QString& savedFileError() const { return saveFileError_; }

private:
    const MessageEntry& selectRow(uint16_t id, size_t& index) const;
    QString buildText(size_t index) const;
    QString previousMessage(size_t index) const;
    int confirm(const MessageEntry& row, const QString& text);
    int notify(const MessageEntry& row, const QString& text);
    int endProgram(const MessageEntry& row, const QString& text);

    Prompter& prompter_;
    Halt halt_;
    std::function<RuntimeError()> source_;
    RuntimeError current_;
    std::vector<MessageEntry> errors_;
    QString fieldName_, fileName_, messageText_;
    QString saveError_, saveFileError_, saveFileErrorCode_;
    int saveErrorCode_ = 0;
};

} // namespace ql

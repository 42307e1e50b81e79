#pragma once
#include <QString>

namespace ql {

// The entry values that field tokens stand for, trailing blanks allowed.
struct SendFields {
    QString password;
    QString name;
    QString url;
    QString service;
    QString notes;
    QString moreNotes;
};

inline constexpr int kSendTextWidth = 255;

// Replaces every occurrence of `token` (any case) in `buffer` by `value`, blanks
// included (a password may begin or end in blanks), cutting the result to `width` characters. The search goes
// on after each inserted value, so a value holding its own token cannot loop.
void ReplaceAllTokens(QString& buffer, int width, const QString& token, const QString& value);

// The send text with its six field tokens replaced, in the order password, name,
// URL, service, notes, more notes; at most 255 characters. Trailing blanks stay:
// they may be the end of the password.
QString ExpandSendText(const QString& sendText, const SendFields& fields);

} // namespace ql

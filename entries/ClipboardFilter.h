#pragma once
#include <QString>

namespace ql {

// "Filter Clipboard" of the password list: the clipboard text (its first
// 10,000 characters, trailing blanks removed) walked from its first
// character. Control characters, and characters whose capital form sorts
// after "Z" (such as "[", "_", "{", "~" and all beyond code 127) are removed,
// and so is a blank followed by another blank; letters, digits and the
// punctuation from "!" to "@" stay.
QString filterListClipboard(const QString& clipboardText);

} // namespace ql

#pragma once
#include <QString>

namespace ql {

// The internet address in a text such as a browser's window title: from the
// first "http:" or "https:" (failing both, the first "www."), case ignored, up
// to 255 characters, cut before the first blank and then before the first
// double quote. Empty when the text holds no address.
QString urlInText(const QString& text);

} // namespace ql

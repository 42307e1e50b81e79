#pragma once
#include <QStringList>
#include <optional>

namespace ql {

// Splits a command line into words the way a POSIX shell splits them, without
// running one: blanks separate words; 'single quotes' keep everything;
// "double quotes" keep everything but a backslash before \ " $ ` ; a backslash
// outside quotes keeps the next character. Nothing is expanded (no variables,
// globs or ~). nullopt for an unclosed quote or a trailing backslash.
std::optional<QStringList> splitShellWords(const QString& commandLine);

} // namespace ql

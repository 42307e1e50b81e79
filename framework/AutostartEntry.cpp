#include "framework/AutostartEntry.h"
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace ql {

namespace {

bool needsQuotes(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    if (argument.isEmpty()) return true;
    for (QChar c : argument)
        if (reserved.contains(c)) return true;
    return false;
}

// An argument as the command line needs it, before the value's own escapes.
QString quoted(const QString& argument) {
    if (!needsQuotes(argument)) return argument;
    QString text = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') text += u'\\';
        text += c;
    }
    return text + u'"';
}

// Control characters cannot stand in a value, nor be escaped in a command line.
bool writable(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return false;
    return true;
}

} // namespace

AutostartEntry::AutostartEntry(QString folder) : folder_(std::move(folder)) {}

QString AutostartEntry::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString AutostartEntry::filePath() const { return QDir(folder_).filePath(kFileName); }

bool AutostartEntry::isOn() const {
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QList<QByteArray> lines = file.read(64 * 1024).split('\n');
    for (const QByteArray& line : lines)
        if (line.trimmed() == "Hidden=true") return false;
    return true;
}

QString AutostartEntry::execLine(const QStringList& arguments) {
    QStringList parts;
    for (const QString& a : arguments) parts << quoted(a);
    QString line = parts.join(u' ');
    // The value's own escapes: a backslash doubled, a percent sign is no field code.
    line.replace(u'\\', QStringLiteral("\\\\"));
    line.replace(u'%', QStringLiteral("%%"));
    return line;
}

bool AutostartEntry::switchOn(const QString& program, const QString& dataFolder) const {
    if (!writable(program) || !writable(dataFolder)) return false;
    if (!QDir().mkpath(folder_)) return false;
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QString text =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Quillock Monitor\n"
                       "Comment=Send one user's Quillock logins from the notification area\n"
                       "Icon=qlmon\n"
                       "Exec=%1\n"
                       "Terminal=false\n"
                       "X-GNOME-Autostart-enabled=true\n")
            .arg(execLine({program, QStringLiteral("Data=") + dataFolder}));
    file.write(text.toUtf8());
    return file.commit();
}

bool AutostartEntry::switchOff() const {
    QFile file(filePath());
    return !file.exists() || file.remove();
}

} // namespace ql

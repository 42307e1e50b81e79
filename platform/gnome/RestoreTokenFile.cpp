#include "platform/gnome/RestoreTokenFile.h"
#include "platform/core/PrivateFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace ql {
namespace {

// Portals hand out UUIDs; anything far longer is not theirs.
constexpr qint64 kLongestToken = 256;

} // namespace

QString RestoreTokenFile::defaultPath(const QString& program) {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/quillock/remote-desktop-") + program;
}

bool RestoreTokenFile::plausible(const QString& token) {
    if (token.isEmpty() || token.size() > kLongestToken) return false;
    for (QChar c : token)
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f) return false;
    return true;
}

QString RestoreTokenFile::load() const {
    if (private_file::isSymbolicLink(path_)) return {};
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.read(kLongestToken + 2);
    const QString token = QString::fromLatin1(bytes).trimmed();
    return plausible(token) ? token : QString();
}

QString RestoreTokenFile::save(const QString& token) const {
    if (!plausible(token)) return QStringLiteral("The desktop gave no usable token.");
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder)) return QStringLiteral("The folder %1 could not be made.").arg(folder);
    ::chmod(QFile::encodeName(folder).constData(), S_IRWXU);
    return private_file::write(path_, token.toLatin1() + '\n');
}

} // namespace ql

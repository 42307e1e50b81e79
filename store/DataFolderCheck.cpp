#include "store/DataFolderCheck.h"
#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace ql {

namespace {

// Shell quoting for the commands shown to the user.
QString quotedPath(const QString& path) {
    QString text = path;
    text.replace(u'\'', QLatin1String("'\\''"));
    return u'\'' + text + u'\'';
}

void checkOne(const QString& path, const QString& shown, bool folder, uid_t uid,
              FolderExposure& out) {
    struct stat st {};
    if (lstat(QFile::encodeName(path).constData(), &st) != 0) return;
    if (st.st_uid != uid) {
        out.problems << shown + QStringLiteral(" is not owned by you");
        out.fixes << QStringLiteral("chown %1 %2").arg(uid).arg(quotedPath(path));
    }
    const bool writable = st.st_mode & (S_IWGRP | S_IWOTH);
    const bool readable = st.st_mode & (S_IRGRP | S_IROTH);
    if (writable) out.problems << QStringLiteral("other users may write to ") + shown;
    if (readable) out.problems << QStringLiteral("other users may read ") + shown;
    if (writable || readable)
        out.fixes << (folder ? QStringLiteral("chmod 700 ") : QStringLiteral("chmod 600 ")) +
                         quotedPath(path);
}

} // namespace

FolderExposure checkDataFolder(const QString& folder, uid_t uid) {
    FolderExposure out;
    const QDir dir(folder);
    checkOne(dir.absolutePath(), QStringLiteral("the folder"), true, uid, out);
    const QStringList files = dir.entryList({QStringLiteral("*.qld*"), QStringLiteral("*.tps*")},
                                            QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    for (const QString& name : files)
        checkOne(dir.absoluteFilePath(name), name, false, uid, out);
    return out;
}

Prompt dataFolderWarning(const QString& folder, const FolderExposure& exposure) {
    Prompt prompt;
    prompt.title = QStringLiteral("Data Folder Not Private");
    prompt.text = QStringLiteral("Other users can reach the data folder %1: %2.\n\n"
                                 "Whoever can read the tables can copy them and try to open "
                                 "them elsewhere; whoever can write there can replace them with "
                                 "files of their own. To make the folder yours alone, run:\n\n")
                      .arg(QDir::toNativeSeparators(folder), exposure.problems.join(QStringLiteral("; "))) +
                  exposure.fixes.join(u'\n');
    prompt.icon = PromptIcon::Warning;
    return prompt;
}

} // namespace ql

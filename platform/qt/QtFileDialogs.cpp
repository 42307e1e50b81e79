#include "platform/qt/QtFileDialogs.h"
#include <QDir>
#include <QFileDialog>
#include <QStringList>

namespace ql {

QString QtFileDialogs::qtFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            patterns << p;
            if (p.toLower() != p) patterns << p.toLower();
        }
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

QString QtFileDialogs::openFile(const FileDialogRequest& request) { return run(request, false); }

QString QtFileDialogs::saveFile(const FileDialogRequest& request) { return run(request, true); }

QString QtFileDialogs::run(const FileDialogRequest& request, bool save) {
    const QString current = QDir::currentPath();
    QFileDialog dialog(parent_, request.title, QString(), qtFilter(request.filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    QDir::setCurrent(current); // tables resolve against the current folder
    return chosen ? dialog.selectedFiles().constFirst() : QString();
}

} // namespace ql

#include "signin/views/TypingPermission.h"
#include "platform/desktop/DesktopBackends.h"
#include <QApplication>
#include <QMessageBox>

namespace ql {

bool explainTypingPermission() {
    QMessageBox box(QMessageBox::Information, kTypingPermissionTitle, kTypingPermissionText,
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

} // namespace ql

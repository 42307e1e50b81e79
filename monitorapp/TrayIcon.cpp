#include "monitorapp/TrayIcon.h"

namespace ql {

bool TrayIcon::add(const QString& picture) {
    if (!present_ && host_.addIcon(picture, tip_)) {
        present_ = true;
        picture_ = picture;
    }
    return present_;
}

void TrayIcon::remove() {
    if (present_ && host_.removeIcon()) present_ = false;
}

void TrayIcon::change(const QString& picture) {
    if (!present_ || picture == picture_) return;
    host_.changeIcon(picture);
    picture_ = picture;
}

bool TrayIcon::lost() {
    if (!present_ || host_.available()) return false;
    host_.removeIcon(); // so that the next add starts afresh
    present_ = false;
    return true;
}

} // namespace ql

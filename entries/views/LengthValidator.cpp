#include "entries/views/LengthValidator.h"
#include <QApplication>
#include <QTimer>

namespace ql {

QValidator::State LengthValidator::validate(QString& input, int&) const {
    if (input.size() <= width_) return Acceptable;
    if (!refused_) {
        QApplication::beep();
    } else if (!telling_) {
        telling_ = true;
        const qsizetype length = input.size();
        QTimer::singleShot(0, this, [this, length] {
            refused_(length, width_);
            telling_ = false;
        });
    }
    return Invalid;
}

} // namespace ql

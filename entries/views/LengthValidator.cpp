#include "entries/views/LengthValidator.h"
#include <QApplication>

namespace ql {

QValidator::State LengthValidator::validate(QString& input, int&) const {
    if (input.size() <= width_) return Acceptable;
    QApplication::beep();
    return Invalid;
}

} // namespace ql

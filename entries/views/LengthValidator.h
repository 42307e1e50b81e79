#pragma once
#include <QValidator>

namespace ql {

// Refuses an edit that would make the text longer than the field it goes to,
// instead of cutting it: typing, pasting and dropping all keep every character
// or change nothing (with a beep).
class LengthValidator : public QValidator {
public:
    LengthValidator(int width, QObject* parent) : QValidator(parent), width_(width) {}
    State validate(QString& input, int& position) const override;

private:
    int width_;
};

} // namespace ql

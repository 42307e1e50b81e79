#pragma once
#include <QValidator>
#include <functional>

namespace ql {

// Refuses an edit that would make the text longer than the field it goes to,
// instead of cutting it: typing, pasting and dropping all keep every character
// or change nothing. A refusal beeps, or, once a form has said how, tells the
// user (after the edit, never inside it; one word for a burst of refusals).
class LengthValidator : public QValidator {
public:
    using Refused = std::function<void(qsizetype length, int width)>;
    LengthValidator(int width, QObject* parent) : QValidator(parent), width_(width) {}
    State validate(QString& input, int& position) const override;
    int width() const { return width_; }
    void onRefused(Refused refused) { refused_ = std::move(refused); }

private:
    int width_;
    Refused refused_;
    mutable bool telling_ = false;
};

} // namespace ql

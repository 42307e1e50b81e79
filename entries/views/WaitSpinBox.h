#pragma once
#include <QSpinBox>

namespace ql {

// A spin box whose arrows step within 0..`stepMaximum` while its entry takes
// any number of up to three digits, so that a typed value is judged by the
// form's rule rather than cut or wrapped by the control.
class WaitSpinBox : public QSpinBox {
    Q_OBJECT
public:
    WaitSpinBox(int stepMaximum, QWidget* parent = nullptr);
    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int stepMaximum_;
};

} // namespace ql

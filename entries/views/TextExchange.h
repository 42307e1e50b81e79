#pragma once
#include <QObject>
#include <QPoint>
#include <functional>

class QLineEdit;

namespace ql {

// Drag and drop of text between the entries a form marks: dragging from one
// offers its whole contents (the entry keeps them); dropping onto one replaces
// its contents, through `replace` so that the form's rules apply.
class TextExchange : public QObject {
public:
    using Replace = std::function<void(QLineEdit* target, const QString& text)>;
    TextExchange(Replace replace, QObject* parent);

    void mark(QLineEdit* entry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool drag(QLineEdit* source);

    Replace replace_;
    QPoint pressedAt_;
    bool pressed_ = false;
};

} // namespace ql

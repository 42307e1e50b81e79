#pragma once
#include <QPlainTextEdit>
#include <functional>

namespace ql {

// A multi-line entry that holds at most `limit` characters: typing, pasting or
// dropping text that would go past it is refused whole (with a beep, or told
// as a form says), never cut. Tab moves the focus on, as in the rest of a form.
class LimitedTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    LimitedTextEdit(int limit, QWidget* parent = nullptr);
    int limit() const { return limit_; }
    using Refused = std::function<void(qsizetype length, int width)>;
    void onRefused(Refused refused) { refused_ = std::move(refused); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool fits(qsizetype inserted) const;
    void refuse(qsizetype inserted);

    int limit_;
    Refused refused_;
};

} // namespace ql

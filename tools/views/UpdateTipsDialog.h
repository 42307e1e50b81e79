#pragma once
#include <QDialog>
#include <functional>

class QPlainTextEdit;

namespace ql {

class IniStore;

// "Add Tip" / "Change Tip": one tip's text. "&OK" hands the text to `store`
// and closes only when it was stored.
class UpdateTipsDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("UpdateTips");

    UpdateTipsDialog(bool insert, const QString& text, std::function<bool(const QString&)> store,
                     IniStore& positions, QWidget* parent = nullptr);
    QPlainTextEdit* entry() const { return entry_; }

public slots:
    void accept() override;
    void done(int result) override;

private:
    std::function<bool(const QString&)> store_;
    IniStore& positions_;
    QPlainTextEdit* entry_ = nullptr;
};

} // namespace ql

#pragma once
#include <QDialog>
#include <optional>

class QLineEdit;

namespace ql {

// "File Password": asks for the password of a synchronization file, for a
// user who has none of his own.
class FilePasswordDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxLength = 128;

    FilePasswordDialog(const QString& question, QWidget* parent = nullptr);

    // The typed text; the entry is emptied once it has been read.
    QString takeTyped();

private:
    QLineEdit* entry_ = nullptr;
};

// Shows the dialog modally: the typed text, or nothing when cancelled.
std::optional<QString> askFilePassword(const QString& question, QWidget* parent);

} // namespace ql

#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

namespace ql {

class IniStore;

// "About": the program's name and version, what the encryption of its tables
// protects against, and (in the main program) the tips.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("AboutWindow");

    // `tips` is placed in the window when given (the window takes it).
    AboutWindow(const QString& programName, IniStore& positions, QWidget* tips = nullptr,
                QWidget* parent = nullptr);
    QPushButton* returnButton() const { return return_; }
    // What types the keystrokes on this desktop ("Keystrokes: X11 XTest"),
    // shown under the version.
    void setDesktopDescription(const QString& text);

    static QString encryptionStatement();

public slots:
    void done(int result) override;

private:
    IniStore& positions_;
    QPushButton* return_ = nullptr;
    QLabel* desktop_ = nullptr;
};

} // namespace ql

#pragma once
#include <QDialog>

class QTextBrowser;

namespace ql {

// Shows the program's help file, an HTML manual shipped with the program.
class HelpWindow : public QDialog {
public:
    HelpWindow(const QString& helpFile, QWidget* parent = nullptr);
    QString text() const;

private:
    QTextBrowser* browser_ = nullptr;
};

} // namespace ql

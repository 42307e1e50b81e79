#include "signin/views/HelpWindow.h"
#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace ql {

HelpWindow::HelpWindow(const QString& helpFile, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Quillock Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    QFile file(helpFile);
    if (file.open(QIODevice::ReadOnly)) browser_->setHtml(QString::fromUtf8(file.readAll()));
    else browser_->setPlainText(QStringLiteral("The help file %1 could not be opened.").arg(helpFile));
    layout->addWidget(browser_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(620, 520);
}

QString HelpWindow::text() const { return browser_->toPlainText(); }

} // namespace ql

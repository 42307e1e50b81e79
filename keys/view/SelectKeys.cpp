#include "keys/view/SelectKeys.h"
#include "framework/IniStore.h"
#include "framework/ShippedFiles.h"
#include "framework/WidgetWindow.h"
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace ql {

namespace {
const QString kPositionSection = QStringLiteral("SelectKeys");
}

KeyListDialog::KeyListDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("List of Key Abbreviations"));
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Courier);
    text_->setFont(font);
    search_ = new QPushButton(QStringLiteral("&Search..."), this);
    print_ = new QPushButton(QStringLiteral("&Print..."), this);
    close_ = new QPushButton(QStringLiteral("&Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(search_);
    buttons->addWidget(print_);
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    resize(640, 480);
    connect(search_, &QPushButton::clicked, this, [this] { askAndSearch(); });
    connect(print_, &QPushButton::clicked, this, [this] { printList(); });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
}

bool KeyListDialog::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    text_->setPlainText(QString::fromUtf8(file.readAll()));
    return true;
}

bool KeyListDialog::findNext(const QString& text) {
    if (text.isEmpty()) return false;
    if (text_->find(text)) return true;
    text_->moveCursor(QTextCursor::Start);
    return text_->find(text);
}

QString KeyListDialog::selectedText() const { return text_->textCursor().selectedText(); }

void KeyListDialog::askAndSearch() {
    bool ok = false;
    QString text = QInputDialog::getText(this, QStringLiteral("Search"), QStringLiteral("Find:"),
                                         QLineEdit::Normal, lastSearch_, &ok);
    if (!ok || text.isEmpty()) return;
    lastSearch_ = text;
    findNext(text);
}

void KeyListDialog::printList() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) text_->print(&printer);
}

QString defaultKeyListPath() {
    return shippedFilePath(QStringLiteral("KEYCODES.TXT"));
}

bool SelectKeys(QWidget* parent, IniStore* positions, const QString& path) {
    KeyListDialog dialog(parent);
    if (!dialog.load(path)) return false;
    WidgetWindow place(dialog);
    if (positions) positions->restoreWindow(kPositionSection, place);
    dialog.exec();
    if (positions) positions->saveWindow(kPositionSection, place);
    return true;
}

} // namespace ql

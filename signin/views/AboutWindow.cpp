#include "signin/views/AboutWindow.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "signin/SettingsKeys.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

QString AboutWindow::encryptionStatement() {
    return QStringLiteral(
        "Users, password entries and settings are kept in SQLCipher-encrypted tables: other "
        "programs and anyone looking at the files see no field in clear. The key is built into "
        "the program, so the encryption does not stop someone who can run Quillock, or who knows "
        "the key, from reading a copy of your data folder: keep that folder readable by you alone. "
        "A user's password decides who sees which entries inside Quillock. Stored send texts and "
        "tips are kept unencrypted.");
}

AboutWindow::AboutWindow(const QString& programName, IniStore& positions, QWidget* tips,
                         QWidget* parent)
    : QDialog(parent), positions_(positions) {
    setWindowTitle(QStringLiteral("About ") + programName);
    auto* logo = new QLabel;
    const QPixmap picture(QStringLiteral(":/images/QL00.GIF"));
    if (!picture.isNull())
        logo->setPixmap(picture.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto* name = new QLabel(programName);
    name->setObjectName(QStringLiteral("programName"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    auto* version = new QLabel(QStringLiteral("Version ") + kProgramVersion);
    version->setObjectName(QStringLiteral("version"));
    desktop_ = new QLabel;
    desktop_->setObjectName(QStringLiteral("desktop"));
    desktop_->hide();
    auto* heading = new QVBoxLayout;
    heading->addWidget(name);
    heading->addWidget(version);
    heading->addWidget(desktop_);
    heading->addWidget(new QLabel(QStringLiteral("A personal password manager for Linux desktops")));
    auto* top = new QHBoxLayout;
    top->addWidget(logo);
    top->addLayout(heading, 1);
    auto* security = new QLabel(encryptionStatement());
    security->setObjectName(QStringLiteral("encryption"));
    security->setWordWrap(true);
    return_ = new QPushButton(QStringLiteral("&Return to ") + programName);
    return_->setObjectName(QStringLiteral("return"));
    connect(return_, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(return_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(security);
    if (tips) layout->addWidget(tips);
    layout->addLayout(bottom);
    setMinimumWidth(480);
    return_->setDefault(true);
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

void AboutWindow::setDesktopDescription(const QString& text) {
    desktop_->setText(text);
    desktop_->setVisible(!text.isEmpty());
}

void AboutWindow::done(int result) {
    positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

} // namespace ql

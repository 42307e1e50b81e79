#include "exchange/views/ListExportDialog.h"
#include "framework/DialogButtons.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtPrompter.h"
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ql {

ListExportDialog::ListExportDialog(bool offerPasswords, QWidget* parent) : QDialog(parent) {
    setWindowTitle(ListExporter::kTitle);
    auto* layout = new QVBoxLayout(this);
    auto* format = new QGroupBox(QStringLiteral("Write the shown columns and rows as"));
    auto* formats = new QVBoxLayout(format);
    text_ = new QRadioButton(QStringLiteral("&Text file (tab-separated)"));
    html_ = new QRadioButton(QStringLiteral("&Web page (HTML)"));
    text_->setChecked(true);
    formats->addWidget(text_);
    formats->addWidget(html_);
    layout->addWidget(format);
    if (offerPasswords) {
        passwords_ = new QCheckBox(kPasswordsText);
        passwords_->setObjectName(QStringLiteral("exportPasswords"));
        layout->addWidget(passwords_);
    }
    layout->addWidget(okCancelButtons(*this, QStringLiteral("&OK")).box);
}

ListExportChoice ListExportDialog::choice() const {
    return {html_->isChecked() ? ListExportFormat::Html : ListExportFormat::Text,
            passwords_ && passwords_->isChecked()};
}

std::optional<ListExportChoice> askListExport(bool offerPasswords, QWidget* parent) {
    ListExportDialog dialog(offerPasswords, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

QString exportList(QWidget* parent, const ListExportHooks& hooks, bool offerPasswords,
                   const std::function<ListExportTable(const ListExportChoice&)>& table,
                   const QString& suggestedName) {
    const auto ask = hooks.ask ? hooks.ask : askListExport;
    const std::optional<ListExportChoice> choice = ask(offerPasswords, parent);
    if (!choice) return {};
    QtFileDialogs desktopDialogs(parent);
    QtPrompter desktopPrompter(parent);
    ListExporter exporter(hooks.files ? *hooks.files : desktopDialogs,
                          hooks.prompter ? *hooks.prompter : desktopPrompter);
    return exporter.run(table(*choice), choice->format, suggestedName);
}

} // namespace ql

#pragma once
#include "exchange/ListExport.h"
#include <QDialog>
#include <optional>

class QCheckBox;
class QRadioButton;

namespace ql {

class FileDialogs;
class Prompter;

// "Export List": a text file or a web page, and, for a list of entries,
// whether their passwords go along (in clear, which the box says).
class ListExportDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kPasswordsText =
        QStringLiteral("Include the passwords: they will be written in clear, readable by anyone "
                       "who gets the file");

    ListExportDialog(bool offerPasswords, QWidget* parent = nullptr);
    ListExportChoice choice() const;

    QRadioButton* textButton() const { return text_; }
    QRadioButton* htmlButton() const { return html_; }
    QCheckBox* passwordsBox() const { return passwords_; }

private:
    QRadioButton* text_ = nullptr;
    QRadioButton* html_ = nullptr;
    QCheckBox* passwords_ = nullptr;
};

// Runs the dialog; nullopt when cancelled.
std::optional<ListExportChoice> askListExport(bool offerPasswords, QWidget* parent);

// What "Export list..." works through: the desktop's dialogs where unset.
struct ListExportHooks {
    FileDialogs* files = nullptr;
    Prompter* prompter = nullptr;
    std::function<std::optional<ListExportChoice>(bool offerPasswords, QWidget* parent)> ask;
};

// "Export list...": asks what to write, then writes the table made for that
// choice where the user chooses. The file written, or an empty text.
QString exportList(QWidget* parent, const ListExportHooks& hooks, bool offerPasswords,
                   const std::function<ListExportTable(const ListExportChoice&)>& table,
                   const QString& suggestedName);

} // namespace ql

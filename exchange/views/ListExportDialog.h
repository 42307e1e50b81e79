#pragma once
#include "exchange/ListExport.h"
#include <QDialog>
#include <optional>

class QCheckBox;
class QRadioButton;

namespace ql {

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

} // namespace ql

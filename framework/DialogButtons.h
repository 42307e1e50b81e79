#pragma once
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace ql {

// The OK and Cancel buttons most windows end with: named "ok" and "cancel"
// for tests and the accessibility bus, accepting and rejecting the window
// (through its own accept() or reject() where it has one). Without
// `boxParent` the box joins the window when it is laid out, so its buttons
// come after the controls made before that in the window's focus chain.
struct DialogButtons {
    QDialogButtonBox* box;
    QPushButton* ok;
    QPushButton* cancel;
};

inline DialogButtons okCancelButtons(QDialog& dialog, const QString& okText,
                                     const QString& cancelText = QStringLiteral("Cancel"),
                                     QWidget* boxParent = nullptr) {
    auto* box = new QDialogButtonBox(boxParent);
    QPushButton* ok = box->addButton(okText, QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    QPushButton* cancel = box->addButton(cancelText, QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel"));
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return {box, ok, cancel};
}

} // namespace ql

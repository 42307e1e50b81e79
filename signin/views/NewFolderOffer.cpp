#include "signin/views/NewFolderOffer.h"
#include "platform/qt/QtPrompter.h"
#include "platform/secure/Wipe.h"
#include "signin/views/PassphraseWindow.h"
#include "store/StartUpUnlock.h"
#include <QMessageBox>
#include <QPushButton>

namespace ql {

namespace {

bool protectChosen() {
    QMessageBox offer(QMessageBox::Question, kNewFolderOfferTitle, kNewFolderOfferText);
    QPushButton* protect = offer.addButton(QStringLiteral("&Protect..."), QMessageBox::AcceptRole);
    QPushButton* later = offer.addButton(QStringLiteral("&Later"), QMessageBox::RejectRole);
    offer.setDefaultButton(protect);
    offer.setEscapeButton(later);
    offer.exec();
    return offer.clickedButton() == protect;
}

std::optional<QString> askNewPassphrase() {
    if (!protectChosen()) return std::nullopt;
    QtPrompter prompter;
    PassphraseWindow window(false, prompter);
    const bool accepted = window.exec() == QDialog::Accepted;
    PassphraseRequest request = window.takeRequest();
    wipeText(request.confirm);
    if (!accepted) {
        wipeText(request.next);
        return std::nullopt;
    }
    return std::move(request.next);
}

} // namespace

void installNewFolderOffer() { setNewFolderOffer(askNewPassphrase); }

} // namespace ql

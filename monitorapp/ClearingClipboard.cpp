#include "monitorapp/ClearingClipboard.h"
#include "platform/secure/Wipe.h"

namespace ql {

ClearingClipboard::~ClearingClipboard() { forget(); }

int64_t ClearingClipboard::moment() const {
    return int64_t{clock_.today()} * kHundredthsPerDay + clock_.now();
}

void ClearingClipboard::setText(const QString& text) {
    forget();
    desktop_.setText(text);
    holding_ = !text.isEmpty();
    if (!holding_) return;
    copied_ = text;
    changesAtCopy_ = desktop_.changeCount();
    due_ = seconds_ > 0 ? moment() + int64_t{seconds_} * 100 : 0;
}

void ClearingClipboard::tick() {
    if (!holding_ || due_ == 0 || moment() < due_) return;
    clearOwnCopy();
}

void ClearingClipboard::clearOwnCopy() {
    if (!holding_) return;
    if (copyStillThere()) {
        if (clearing_ && clearing_->available()) clearing_->clear();
        else desktop_.setText(QString());
    }
    forget();
}

// Unchanged since the copy, or changed (some desktops report our own change
// late) but still holding the same text.
bool ClearingClipboard::copyStillThere() {
    return desktop_.changeCount() == changesAtCopy_ || desktop_.text() == copied_;
}

void ClearingClipboard::forget() {
    wipeText(copied_);
    holding_ = false;
    due_ = 0;
}

} // namespace ql

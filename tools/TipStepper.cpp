#include "tools/TipStepper.h"

namespace ql {

namespace se = store_error;

TipStepper::TipStepper(DataTable& tips)
    : tips_(tips), key_(tips.def().keyIndex(QLatin1String("TIP:KEYTIPID"))) {}

bool TipStepper::readBeyond(qint64 id, bool forward) {
    tips_.record().clear();
    tips_.record().setNumber("TIP:TIPID", id);
    if (tips_.setPosition(key_, forward) != se::NoError) return false;
    return (forward ? tips_.next() : tips_.previous()) == se::NoError;
}

bool TipStepper::exists(qint64 id) {
    tips_.record().clear();
    tips_.record().setNumber("TIP:TIPID", id);
    return tips_.fetch(key_) == se::NoError;
}

void TipStepper::show() {
    currentId_ = tips_.record().number("TIP:TIPID");
    text_ = tips_.record().text("TIP:TIPDESC");
}

void TipStepper::start() {
    atFirst_ = true;
    pastLast_ = false;
    currentId_ = 0;
    text_.clear();
    if (readBeyond(0, true))
        show();
    else
        pastLast_ = true; // no tips
}

void TipStepper::next() {
    if (pastLast_) return;
    if (readBeyond(currentId_, true)) {
        show();
        atFirst_ = false;
    } else {
        pastLast_ = true;
    }
}

void TipStepper::previous() {
    if (atFirst_) return;
    if (readBeyond(currentId_, false)) {
        show();
        pastLast_ = false;
    } else {
        atFirst_ = true;
    }
}

void TipStepper::refresh() {
    if (currentId_ == 0) return start();
    const qint64 id = currentId_;
    if (exists(id) || readBeyond(id, true) || readBeyond(id, false)) {
        show();
    } else {
        return start(); // every tip is gone
    }
    const qint64 now = currentId_;
    atFirst_ = !readBeyond(now, false);
    pastLast_ = pastLast_ && now == id && !readBeyond(now, true);
}

} // namespace ql

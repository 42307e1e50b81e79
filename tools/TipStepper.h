#pragma once
#include "platform/recordstore/DataTable.h"

namespace ql {

// Steps through the tips in identifier order for the about window. Two flags
// tell where it stands: at-first (the first tip is shown, or none could be
// read before it) and past-last (a step beyond the last tip found none; the
// last tip shown stays shown). Each step looks for the nearest identifier
// beyond the current one, so tips added or deleted meanwhile are taken as
// they now are.
class TipStepper {
public:
    // `tips` is the open TipOfTheDay table.
    explicit TipStepper(DataTable& tips);

    // The window opens: the first tip, at-first set.
    void start();
    // "&Next" (nothing while past-last) and "&Previous" (nothing while at-first).
    void next();
    void previous();
    // After tips were added, changed or deleted: the current tip read again,
    // or the nearest one when it is gone; a tip added after it can be reached.
    void refresh();

    bool atFirst() const { return atFirst_; }
    bool pastLast() const { return pastLast_; }
    bool nextAvailable() const { return !pastLast_; }
    bool previousAvailable() const { return !atFirst_; }
    // The shown tip's identifier (0 when none) and text (blank when none).
    qint64 currentId() const { return currentId_; }
    const QString& text() const { return text_; }

private:
    // The tip with the smallest identifier above `id` (forward) or the largest
    // below it; false when there is none.
    bool readBeyond(qint64 id, bool forward);
    bool exists(qint64 id);
    void show();

    DataTable& tips_;
    int key_;
    qint64 currentId_ = 0;
    QString text_;
    bool atFirst_ = true;
    bool pastLast_ = true;
};

} // namespace ql

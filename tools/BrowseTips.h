#pragma once
#include "platform/core/Prompter.h"
#include "store/FileManager.h"
#include <vector>

namespace ql {

// One row of the tips list: the tip's identifier and the first 255
// characters of its text.
struct TipRow {
    qint64 id = 0;
    QString shown;
};

// The tips list ("Browse Tips") and the tip form ("Add Tip", "Change Tip")
// without widgets, over the caller's open TipOfTheDay table.
class BrowseTips {
public:
    static constexpr int kShownLength = 255;
    static constexpr int kTipLength = 1000;

    BrowseTips(FileManager& tips, ErrorManager& errors, DataTable& table);

    void reload();
    const std::vector<TipRow>& rows() const { return rows_; }

    // The text of a tip, for the form.
    QString text(qint64 id);
    // "&OK" of the form: a new tip gets the next identifier; a change rewrites
    // the tip. Text longer than a tip holds is refused with a message, as is a
    // tip with no text. True when stored.
    bool insert(const QString& text, Prompter& prompter);
    bool change(qint64 id, const QString& text, Prompter& prompter);
    // "&Delete" after the list's usual confirmation. True when deleted.
    bool remove(qint64 id);

private:
    bool fetch(qint64 id);
    bool acceptText(const QString& text, Prompter& prompter);

    FileManager& tips_;
    ErrorManager& errors_;
    DataTable& table_;
    int key_;
    std::vector<TipRow> rows_;
};

// The tips this program comes with, about using it on a Linux desktop.
const std::vector<QString>& shippedTips();

// Creates the tips table with the shipped tips when the data folder has none;
// an existing table, even an empty one, is left as the user made it.
void installShippedTips(FileManager& tips);

} // namespace ql

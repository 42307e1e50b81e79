#pragma once
#include "store/FileManager.h"
#include <QStringList>

namespace ql {

// The stored send texts (the ScriptPaste table), shared by all users: the
// entry form's list of texts to choose from, its eight defaults and "Add to
// Defaults". The table is open from open() until this object goes.
class SendTextList {
public:
    explicit SendTextList(FileManager& scriptPaste);

    // Opens the table (creating it when missing); false after the manager's message.
    bool open();
    // Every stored text in stored order.
    QStringList load();
    // True when the table holds no record at all.
    bool empty();
    // Stores the eight default texts, in order; for an empty table.
    void seedDefaults();
    // True when exactly this text (case counts) is stored.
    bool contains(const QString& text);
    // Stores one text; false after the manager's message.
    bool add(const QString& text);

    static const QStringList& defaults();

private:
    FileManager& manager_;
    DataTable table_;
};

} // namespace ql

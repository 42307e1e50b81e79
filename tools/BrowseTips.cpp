#include "tools/BrowseTips.h"
#include "framework/MessageIds.h"
#include "platform/recordstore/SqlSchema.h"
#include <QFileInfo>

namespace ql {

namespace se = store_error;

BrowseTips::BrowseTips(FileManager& tips, ErrorManager& errors, DataTable& table)
    : tips_(tips), errors_(errors), table_(table),
      key_(table.def().keyIndex(QLatin1String("TIP:KEYTIPID"))) {}

void BrowseTips::reload() {
    rows_.clear();
    table_.setToStart(key_);
    while (table_.next() == se::NoError) {
        const Record& r = table_.record();
        rows_.push_back({r.number("TIP:TIPID"), r.text("TIP:TIPDESC").left(kShownLength)});
    }
}

bool BrowseTips::fetch(qint64 id) {
    table_.record().clear();
    table_.record().setNumber("TIP:TIPID", id);
    return table_.fetch(key_) == se::NoError;
}

QString BrowseTips::text(qint64 id) {
    return fetch(id) ? table_.record().text("TIP:TIPDESC") : QString();
}

bool BrowseTips::acceptText(const QString& text, Prompter& prompter) {
    QString problem;
    if (text.trimmed().isEmpty())
        problem = QStringLiteral("Type the text of the tip.");
    else if (text.size() > kTipLength)
        problem = QStringLiteral("A tip holds at most %1 characters; this one has %2.")
                      .arg(kTipLength)
                      .arg(text.size());
    if (problem.isEmpty()) return true;
    prompter.ask({QStringLiteral("Tip"), problem, int(PromptButton::Ok), PromptButton::Ok,
                  PromptIcon::Exclamation});
    return false;
}

bool BrowseTips::insert(const QString& text, Prompter& prompter) {
    if (!acceptText(text, prompter)) return false;
    tips_.primeRecord(table_.record());
    table_.record().setText("TIP:TIPDESC", text);
    return tips_.insert(table_) == se::NoError;
}

bool BrowseTips::change(qint64 id, const QString& text, Prompter& prompter) {
    if (!acceptText(text, prompter)) return false;
    if (!fetch(id)) return false;
    table_.record().setText("TIP:TIPDESC", text);
    return tips_.update(table_) == se::NoError;
}

bool BrowseTips::remove(qint64 id) {
    if (errors_.askWithButtons(msg::ConfirmDelete, int(PromptButton::Yes) | int(PromptButton::No),
                               PromptButton::No) != PromptButton::Yes)
        return false;
    return fetch(id) && tips_.remove(table_) == se::NoError;
}

void installShippedTips(FileManager& tips) {
    DataTable table(tips.def());
    if (QFileInfo::exists(locateTable(table.fileName()).filePath)) return;
    if (table.create() != se::NoError || table.open() != se::NoError) return;
    table.stream();
    for (const QString& text : shippedTips()) {
        table.record().clear();
        table.record().setText("TIP:TIPDESC", text);
        table.add();
    }
    table.flush();
}

} // namespace ql

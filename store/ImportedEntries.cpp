#include "store/ImportedEntries.h"
#include "platform/records/Record.h"

namespace ql::imported_entry {

namespace {

const char kMark[] = "P_:STARTTYPE";

bool marked(const Record& entry, const QString& mark) {
    return entry.sameText(entry.fieldIndex(QLatin1String(kMark)), mark);
}

bool hasProgramLine(const Record& entry) {
    const QString line = entry.text("P_:FILENAME").trimmed();
    return !line.isEmpty() && line.compare(QLatin1String("N/A"), Qt::CaseInsensitive) != 0;
}

} // namespace

void markImported(Record& entry) {
    if (hasProgramLine(entry) || entry.number("P_:MONITOR") != 0)
        entry.setText(QLatin1String(kMark), kUnconfirmed);
}

bool programConfirmed(const Record& entry) { return !marked(entry, kUnconfirmed); }

bool watchConfirmed(const Record& entry) {
    return !marked(entry, kUnconfirmed) && !marked(entry, kWatchUnconfirmed);
}

void confirmProgram(Record& entry) {
    if (programConfirmed(entry)) return;
    entry.setText(QLatin1String(kMark), entry.number("P_:MONITOR") != 0 ? kWatchUnconfirmed : QString());
}

void confirmAll(Record& entry) {
    if (!watchConfirmed(entry)) entry.setText(QLatin1String(kMark), u"");
}

} // namespace ql::imported_entry

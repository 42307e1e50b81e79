#include "exchange/PasswordExport.h"
#include "platform/recordstore/StoreError.h"

namespace ql {

namespace {
const Picture kHeaderPicture(u"@s50");
} // namespace

PasswordExport::PasswordExport(DataTable& passwords, CsvFile& csv, Prompter& prompter)
    : passwords_(passwords), csv_(csv), prompter_(prompter) {}

void PasswordExport::message(const QString& caption, const QString& text, PromptIcon icon) {
    prompter_.ask({caption, text, int(PromptButton::Ok), PromptButton::Ok, icon});
}

int PasswordExport::run(const QString& user, const std::vector<FieldRow>& rows, bool header) {
    if (!csv_.openOutput()) return -1;
    std::vector<Column> columns;
    const Record& entry = passwords_.record();
    for (const FieldRow& row : rows) {
        const int field = entry.fieldIndex(row.name);
        const bool number = field >= 0 && isNumberType(entry.def().fields[field].type);
        columns.push_back({field, number, Picture(row.picture)});
    }
    if (header && !writeHeader(rows)) {
        csv_.close();
        return -1;
    }
    const int written = writeEntries(user, columns);
    if (!csv_.close()) return -1;
    message(QStringLiteral("Done"), QString::number(written) + QStringLiteral(" record(s) exported."),
            PromptIcon::Information);
    return written;
}

bool PasswordExport::writeHeader(const std::vector<FieldRow>& rows) {
    csv_.beginLine();
    for (const FieldRow& row : rows) csv_.appendField(row.name, kHeaderPicture, true);
    return csv_.writeLine();
}

// The entries are read a page at a time through the service key, one
// statement a page, rather than one seek per entry.
int PasswordExport::writeEntries(const QString& user, const std::vector<Column>& columns) {
    const KeyRange range{passwords_.def().keyIndex(u"P_:KEYSERVICE"), {QVariant(user)}, {}, {}};
    std::vector<int> fields;
    for (const Column& c : columns)
        if (c.field >= 0) fields.push_back(c.field);
    std::vector<RangeRow> page;
    int written = 0;
    for (bool first = true; first || int(page.size()) == kPageSize; first = false) {
        const int code = first ? passwords_.readRange(range, 0, kPageSize, false, fields, kWholeText, page)
                               : passwords_.readRangeAfter(range, page.back().mark(), 0, kPageSize,
                                                           fields, kWholeText, page);
        if (code != store_error::NoError) {
            message(QStringLiteral("Error"),
                    QStringLiteral("Next record error - ") + passwords_.errorText(), PromptIcon::Stop);
            break;
        }
        for (const RangeRow& row : page) {
            writeEntry(columns, row);
            if (csv_.writeLine()) ++written;
            else message(QStringLiteral("Error"), QStringLiteral("Add record error - ") + csv_.fileName(),
                         PromptIcon::Stop);
        }
    }
    return written;
}

// `row` holds the values of the columns that name a field, in their order; a
// column without a field is written empty.
void PasswordExport::writeEntry(const std::vector<Column>& columns, const RangeRow& row) {
    csv_.beginLine();
    size_t value = 0;
    for (const Column& c : columns) {
        if (c.field < 0) csv_.appendField(QString(), c.picture);
        else if (c.number) csv_.appendNumber(row.values[value++].toLongLong(), c.picture);
        else csv_.appendField(row.values[value++].toString(), c.picture);
    }
}

} // namespace ql

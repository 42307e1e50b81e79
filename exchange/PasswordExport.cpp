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

int PasswordExport::writeEntries(const QString& user, const std::vector<Column>& columns) {
    Record& entry = passwords_.record();
    const int userField = entry.fieldIndex(u"P_:USER");
    entry.clear();
    entry.setText(userField, user);
    passwords_.setPosition(passwords_.def().keyIndex(u"P_:KEYSERVICE"));
    int written = 0;
    for (;;) {
        const int code = passwords_.next();
        if (code == store_error::EndOfFile) break;
        if (code != store_error::NoError) {
            message(QStringLiteral("Error"),
                    QStringLiteral("Next record error - ") + passwords_.errorText(), PromptIcon::Stop);
            break;
        }
        if (!entry.sameText(userField, user)) break;
        writeEntry(columns);
        if (csv_.writeLine()) ++written;
        else message(QStringLiteral("Error"), QStringLiteral("Add record error - ") + csv_.fileName(),
                     PromptIcon::Stop);
    }
    return written;
}

void PasswordExport::writeEntry(const std::vector<Column>& columns) {
    const Record& entry = passwords_.record();
    csv_.beginLine();
    for (const Column& c : columns) {
        if (c.number) csv_.appendNumber(entry.number(c.field), c.picture);
        else csv_.appendField(entry.text(c.field), c.picture);
    }
}

} // namespace ql

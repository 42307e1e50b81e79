// libFuzzer target: any bytes as a comma-separated file. Besides not
// crashing, every record must be read without a carriage return, the byte
// counts must add up to the file's size, the field cutter must find in each
// record exactly the record the reader cut (no line break outside a quoted
// field, no quoted field left open), and the fields cut from it, written
// again, must read back as the same values.
#include "exchange/CsvLine.h"
#include "exchange/CsvReader.h"
#include "exchange/CsvWriter.h"
#include "framework/Pictures.h"
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace ql;

namespace {

using Rows = std::vector<std::vector<QString>>;

const Picture kPictures[] = {Picture(u"@d17"), Picture(u"@d4"), Picture(u"@t3"), Picture(u"@t9"),
                             Picture(u"@p<<<# secondspb"), Picture(u"@N30.9")};

// The record ends where the cutter's last field ends: a quoted field closes
// inside it and is not followed by a line break, an unquoted one holds none.
void checkCut(const QString& record, const CsvLine& line, CsvFieldKind kind) {
    if (kind == CsvFieldKind::Unquoted) {
        if (line.field().contains(u'\n')) std::abort();
        return;
    }
    if (line.position() == 0) std::abort(); // no closing quote in the record
    const qsizetype separator = line.position() - 2;
    if (separator < record.size() && record.at(separator) == u'\n') std::abort();
}

// The byte counts of the records add up to the file's size (byte-order
// marks alone make no record and are not counted).
Rows readAll(CsvReader& reader, CsvWriter* writer, bool bomOnly) {
    Rows rows;
    qint64 total = 0;
    CsvLine line;
    for (qint64 n; (n = reader.readRecord()) > 0;) {
        total += n;
        if (reader.record().contains(u'\r')) std::abort();
        line.start(reader.record());
        std::vector<QString>& row = rows.emplace_back();
        if (writer) writer->beginLine();
        for (CsvFieldKind kind; (kind = line.next()) != CsvFieldKind::None;) {
            checkCut(reader.record(), line, kind);
            QString value = line.field().toString();
            while (value.endsWith(u' ')) value.chop(1); // written text loses trailing blanks
            row.push_back(value);
            if (writer) writer->appendField(value, Picture(u"@s"));
            for (const Picture& picture : kPictures) (void)picture.unformat(line.field());
        }
        if (writer) writer->endLine();
    }
    if (total != reader.size() && !(bomOnly && rows.empty())) std::abort();
    return rows;
}

bool onlyByteOrderMarks(const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size(); i += 3)
        if (!bytes.sliced(i).startsWith("\xEF\xBB\xBF")) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CsvReader reader;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (reader.openBytes(bytes) != CsvReader::Opened::Ok) return 0;
    CsvWriter writer;
    const Rows rows = readAll(reader, &writer, onlyByteOrderMarks(bytes));
    CsvReader again;
    const CsvReader::Opened opened = again.openBytes(writer.contents());
    if (rows.empty()) return opened == CsvReader::Opened::Empty ? 0 : (std::abort(), 0);
    if (opened != CsvReader::Opened::Ok || readAll(again, nullptr, false) != rows) std::abort();
    return 0;
}

// The comma-separated text layer: cutting fields, reading records from files
// of any origin, writing values so that they read back as they were.
#include "exchange/CsvLine.h"
#include "exchange/CsvReader.h"
#include "exchange/CsvWriter.h"
#include "platform/core/DayNumber.h"
#include "platform/secure/Wipe.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace ql;

namespace {

using Field = std::pair<CsvFieldKind, QString>;

std::vector<Field> split(QStringView text) {
    CsvLine line;
    line.start(text);
    std::vector<Field> fields;
    for (CsvFieldKind kind; (kind = line.next()) != CsvFieldKind::None;)
        fields.emplace_back(kind, line.field().toString());
    return fields;
}

constexpr auto Q = CsvFieldKind::Quoted;
constexpr auto U = CsvFieldKind::Unquoted;

std::string describe(const std::vector<Field>& fields) {
    std::string out;
    for (const auto& [kind, text] : fields)
        out += (kind == Q ? "Q[" : "U[") + text.toStdString() + "] ";
    return out;
}

class TempFiles : public ::testing::Test {
protected:
    QString write(const QByteArray& bytes, const QString& name = QStringLiteral("in.csv")) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    // Every record of a file, read with a fresh reader.
    std::vector<QString> records(const QByteArray& bytes) {
        CsvReader reader;
        EXPECT_EQ(reader.open(write(bytes)), CsvReader::Opened::Ok);
        std::vector<QString> out;
        while (reader.readRecord() > 0) out.push_back(reader.record());
        return out;
    }
    QTemporaryDir dir;
};

} // namespace

TEST(CsvLine, CutsFieldsByTheQuotingRules) {
    struct Case {
        const char16_t* line;
        std::vector<Field> fields;
    };
    const std::vector<Case> cases = {
        {u"\"a\"\"b\",12, x", {{Q, "a\"b"}, {U, "12"}, {U, " x"}}},
        {u"a,b,", {{U, "a"}, {U, "b"}}},
        {u",a", {{U, ""}, {U, "a"}}},
        {u"\"abc\"x,d", {{Q, "abc"}, {U, ""}, {U, "d"}}},
        {u"\"abc\"\U0001F600,d", {{Q, "abc"}, {U, ""}, {U, "d"}}},
        {u"\"abc,def", {{Q, "abc,def"}}},
        {u"\"ab\"\"c", {{Q, "ab\"c"}}},
        {u"a,   ", {{U, "a"}}},
        {u"   ", {}},
        {u"", {}},
        {u"\"\",\"\"", {{Q, ""}, {Q, ""}}},
        {u"\"a\"", {{Q, "a"}}},
        {u"\"a\",", {{Q, "a"}}},
        {u"\"\"\"\"", {{Q, "\""}}},
        {u" \"a\",b", {{U, " \"a\""}, {U, "b"}}},
        {u"\"line one\nline two\",\"x, y\"", {{Q, "line one\nline two"}, {Q, "x, y"}}},
        {u"a\"b,c", {{U, "a\"b"}, {U, "c"}}},
        {u",,", {{U, ""}, {U, ""}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(split(c.line), c.fields) << QString::fromUtf16(c.line).toStdString() << " gave "
                                           << describe(split(c.line));
}

TEST(CsvLine, PositionCountsFromOneAndIsZeroAtTheEnd) {
    CsvLine line;
    const QString text = QStringLiteral("ab,\"c\",d");
    line.start(text);
    EXPECT_EQ(line.position(), 1);
    line.next();
    EXPECT_EQ(line.position(), 4);
    line.next();
    EXPECT_EQ(line.position(), 8);
    line.next();
    EXPECT_EQ(line.position(), 0);
    EXPECT_EQ(line.next(), CsvFieldKind::None);
}

TEST_F(TempFiles, RecordsEndAtAnyLineEndOutsideQuotes) {
    const std::vector<QString> expected{"a,b", "c", "\"multi\nline\",x", "", "last"};
    EXPECT_EQ(records("a,b\r\nc\n\"multi\r\nline\",x\r\rlast"), expected);
    EXPECT_EQ(records("a,b\r\nc\r\n\"multi\nline\",x\r\n\r\nlast\r\n"), expected);
    // A lone carriage return inside a value is a line break too.
    EXPECT_EQ(records("\"a\rb\"\n"), std::vector<QString>{"\"a\nb\""});
}

TEST_F(TempFiles, ByteOrderMarkIsSkippedAndUtf8Read) {
    CsvReader reader;
    ASSERT_EQ(reader.open(write("\xEF\xBB\xBF\"Gr\xC3\xBC\xC3\x9F" "e\",\xE2\x82\xAC" "5\r\n")),
              CsvReader::Opened::Ok);
    EXPECT_TRUE(reader.isUtf8());
    EXPECT_EQ(reader.readRecord(), reader.size()); // the mark counts with the first line
    EXPECT_EQ(reader.record(), QString::fromUtf8("\"Grüße\",€5"));

    // Marks written again before the text are the file's too; one that
    // starts a later line is the first character of an unquoted field.
    ASSERT_EQ(reader.open(write("\xEF\xBB\xBF\xEF\xBB\xBF\"Group\",x\n\xEF\xBB\xBF\"b\",c\n")), CsvReader::Opened::Ok);
    EXPECT_EQ(reader.readRecord(), 6 + 10); // both marks count with the first line
    EXPECT_EQ(reader.record(), QStringLiteral("\"Group\",x"));
    const QString mark(QChar(0xFEFF));
    reader.readRecord();
    EXPECT_EQ(reader.record(), mark + QStringLiteral("\"b\",c"));
    CsvLine line;
    line.start(reader.record());
    EXPECT_EQ(line.next(), CsvFieldKind::Unquoted);
    EXPECT_EQ(line.field(), mark + QStringLiteral("\"b\""));
}

TEST_F(TempFiles, FilesThatAreNotUtf8AreReadAsWindows1252) {
    CsvReader reader;
    ASSERT_EQ(reader.open(write("caf\xE9,\x80" "5,\x93quoted\x94\n\xC3\xA9\n")), CsvReader::Opened::Ok);
    EXPECT_FALSE(reader.isUtf8());
    reader.readRecord();
    EXPECT_EQ(reader.record(), QString::fromUtf8("café,€5,“quoted”"));
    reader.readRecord();
    EXPECT_EQ(reader.record(), QString::fromUtf8("Ã©"));
}

// The character after a closing quote is skipped as the separator, however
// many bytes it takes: the record goes on to the line break after the next
// quoted field, not to the one inside it.
TEST_F(TempFiles, AWideSeparatorAfterAQuoteKeepsTheNextQuotedFieldInItsRecord) {
    const std::vector<Field> fields{{Q, "a"}, {Q, "note line 1\nnote line 2"}, {U, "x"}};
    for (const char* separator : {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"}) {
        SCOPED_TRACE(separator);
        const std::vector<QString> got =
            records(QByteArray("\"a\"") + separator + "\"note line 1\r\nnote line 2\",x\r\nnext\n");
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(split(got[0]), fields) << describe(split(got[0]));
        EXPECT_EQ(got[1], "next");
    }
    // In a single-byte file every byte is a character of its own.
    CsvReader reader;
    ASSERT_EQ(reader.open(write("\"a\"\xE2\"b\nc\",\xE9\n\"d\"\x80\x80\"e\n")), CsvReader::Opened::Ok);
    EXPECT_FALSE(reader.isUtf8());
    std::vector<QString> got;
    while (reader.readRecord() > 0) got.push_back(reader.record());
    EXPECT_EQ(got, (std::vector<QString>{QString::fromUtf8("\"a\"â\"b\nc\",é"),
                                         QString::fromUtf8("\"d\"€€\"e")}));
}

TEST_F(TempFiles, AFileEndingInsideQuotesIsRefusedWithTheLineWhereTheValueStarts) {
    CsvReader reader;
    EXPECT_EQ(reader.open(write("a,b\n\"ok\nvalue\",c\nd,\"never\nclosed\n")),
              CsvReader::Opened::EndsInsideQuotes);
    EXPECT_EQ(reader.unterminatedLine(), 4);
    EXPECT_EQ(reader.open(write("")), CsvReader::Opened::Empty);
    EXPECT_EQ(reader.open(dir.filePath("missing.csv")), CsvReader::Opened::Failed);
    EXPECT_FALSE(reader.errorText().isEmpty());
}

TEST_F(TempFiles, LineNumbersAndByteCountsFollowTheFile) {
    CsvReader reader;
    const QByteArray bytes = "h1,h2\r\n\"two\r\nlines\",x\r\nthird\nfourth";
    ASSERT_EQ(reader.open(write(bytes)), CsvReader::Opened::Ok);
    std::vector<int> lines;
    qint64 total = 0;
    for (qint64 n; (n = reader.readRecord()) > 0;) {
        total += n;
        lines.push_back(reader.recordLine());
    }
    EXPECT_EQ(lines, (std::vector<int>{1, 2, 4, 5}));
    EXPECT_EQ(total, bytes.size());
    reader.rewind();
    EXPECT_GT(reader.readRecord(), 0);
    EXPECT_EQ(reader.record(), "h1,h2");
}

TEST_F(TempFiles, LongRecordsAreReadWholeAcrossReadBuffers) {
    const QByteArray note(700'000, 'n');
    const std::vector<QString> got = records("\"" + note + "\",\"" + QByteArray(30'000, 'x') +
                                             "\"\r\n" + QByteArray(20'000, 'y') + "\r\n");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(split(got[0]), (std::vector<Field>{{Q, QString::fromLatin1(note)},
                                                 {Q, QString(30'000, u'x')}}));
    EXPECT_EQ(got[1], QString(20'000, u'y'));
}

TEST(CsvWriter, WritesValuesByTheKindOfTheirPicture) {
    CsvWriter w;
    w.beginLine();
    w.appendField(u"say \"hi\"  ", Picture(u"@s255"));
    w.appendField(u"  0", Picture(u"@n3"));
    w.appendField(u"-42", Picture(u"@n6b"));
    w.appendField(u"30", Picture(u"@p<<<# secondspb"));
    w.appendField(u"a,b", Picture(u"@n3")); // no plain number: quoted so it reads back
    w.appendField(u" lead", Picture(u"@s10"));
    EXPECT_EQ(w.line(), "\"say \"\"hi\"\"  \",0,-42,\"  30 seconds\",\"a,b\",\" lead\"");

    const int32_t day = dayNumber(QDate(2031, 7, 4));
    w.beginLine();
    w.appendField(QString::number(day), Picture(u"@d17"));
    w.appendField(u"0", Picture(u"@d17"));
    EXPECT_EQ(w.line(), "\"" + formatDate(day, "@d17") + "\",\"\"");
}

TEST(CsvWriter, HeaderNamesWithBracketsAreMadePlain) {
    CsvWriter w;
    w.beginLine();
    w.appendHeader(u"P_:Service");
    w.appendHeader(u"ARR[1,2]");
    EXPECT_EQ(w.line(), "\"P_:Service\",\"ARR_1_2 \"");
    w.endLine();
    EXPECT_EQ(w.contents(), "\"P_:Service\",\"ARR_1_2 \"\r\n");
}

TEST(CsvWriter, FormattedValuesHaveTheirQuotesDoubled) {
    CsvWriter w;
    w.beginLine();
    w.appendField(u"5", Picture(u"@p# \"inches\"p"));
    EXPECT_EQ(w.line(), "\"5 \"\"inches\"\"\"");
    EXPECT_EQ(split(w.line()), (std::vector<Field>{{Q, "5 \"inches\""}}));
}

// Random values with quotes, commas, line breaks, blanks and characters from
// all planes, some of them 20,000 characters long, come back exactly.
TEST_F(TempFiles, ValuesWrittenAndReadBackComeOutIdentical) {
    std::mt19937 random(20240229);
    const std::vector<QString> pieces{"\"", ",", "\n", "\r\n", " ", "a", "Z", "0", "é", "€", "漢",
                                      QString::fromUtf8("😀"), "\"\"", ",\"", "\t", "\\", "''"};
    auto randomValue = [&] {
        const int length = random() % 10 == 0 ? 20'000 : int(random() % 40);
        QString value;
        while (value.size() < length) value += pieces[random() % pieces.size()];
        value.replace(QLatin1String("\r\n"), QLatin1String("\n")); // stored values hold no CR
        while (value.endsWith(u' ')) value.chop(1);                // nor trailing blanks
        return value;
    };
    std::vector<std::vector<QString>> rows(300);
    CsvWriter w;
    for (auto& row : rows) {
        w.beginLine();
        for (int f = 0; f < 6; ++f) {
            row.push_back(randomValue());
            w.appendField(row.back(), Picture(u"@s255"));
        }
        w.endLine();
    }
    CsvReader reader;
    ASSERT_EQ(reader.open(write(w.contents())), CsvReader::Opened::Ok);
    for (const auto& row : rows) {
        ASSERT_GT(reader.readRecord(), 0);
        CsvLine line;
        line.start(reader.record());
        for (const QString& value : row) {
            ASSERT_EQ(line.next(), CsvFieldKind::Quoted);
            ASSERT_EQ(line.field().toString(), value);
        }
        EXPECT_EQ(line.next(), CsvFieldKind::None);
    }
    EXPECT_EQ(reader.readRecord(), 0);
}

// What a file held (passwords in clear) is wiped before its memory goes back
// to the allocator, when a buffer grows as well as when it is released.
TEST(CsvBuffers, AreWipedWhenTheyGrowAndWhenReleased) {
    size_t released = 0, dirty = 0;
    wipe_hooks::released() = [&](const void* data, size_t size) {
        ++released;
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i)
            if (bytes[i] != 0) { ++dirty; break; }
    };
    // A record longer than the reader's chunk makes its buffers grow.
    const QByteArray secret(700 * 1024, 's');
    CsvReader reader;
    ASSERT_EQ(reader.openBytes("\"" + secret + "\r\n" + secret + "\",x\r\nnext,line\r\n"),
              CsvReader::Opened::Ok);
    ASSERT_GT(reader.readRecord(), 0);
    EXPECT_EQ(reader.record().size(), 2 * secret.size() + 5);
    ASSERT_GT(reader.readRecord(), 0);
    const size_t whileReading = released;
    EXPECT_GE(whileReading, 3u) << "grown buffers and replaced records";
    reader.close();
    EXPECT_GT(released, whileReading);

    const size_t beforeWriting = released;
    CsvWriter writer;
    for (int i = 0; i < 2000; ++i) {
        writer.beginLine();
        writer.appendField(QString(300, u'p'), Picture());
        writer.appendField(QString(300, u'q'), Picture());
        writer.endLine();
    }
    const size_t whileWriting = released;
    EXPECT_GT(whileWriting, beforeWriting) << "the contents grew";
    writer.clear();
    EXPECT_GT(released, whileWriting);
    EXPECT_EQ(dirty, 0u);
    wipe_hooks::released() = nullptr;
}

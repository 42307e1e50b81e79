#include "StoreTestSupport.h"
#include "platform/recordstore/TextCollation.h"
#include <QRandomGenerator>
#include <algorithm>
#include <optional>

using namespace ql;
using namespace ql::store_error;
using ql::test::StoreFolder;

namespace {

// A model of the table: the records as added, in record-number order.
struct Model {
    std::vector<Record> rows;
    std::vector<qint64> ids;
};

int compareComponent(const Record& a, const Record& b, int field) {
    if (isNumberType(a.def().fields[field].type)) {
        const qint64 x = a.number(field), y = b.number(field);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    return a.text(field).compare(b.text(field), Qt::CaseInsensitive);
}

int compareKey(const KeyDef& key, const Record& a, const Record& b) {
    for (int c : key.components)
        if (const int d = compareComponent(a, b, c))
            return d;
    return 0;
}

// Record ids in key order, duplicates by record number (= id here).
std::vector<qint64> expectedOrder(const KeyDef& key, const Model& m) {
    std::vector<size_t> idx(m.rows.size());
    for (size_t i = 0; i < idx.size(); ++i)
        idx[i] = i;
    std::stable_sort(idx.begin(), idx.end(), [&](size_t a, size_t b) {
        return compareKey(key, m.rows[a], m.rows[b]) < 0;
    });
    std::vector<qint64> ids;
    for (size_t i : idx)
        ids.push_back(m.ids[i]);
    return ids;
}

std::vector<qint64> walk(DataTable& t, bool forward) {
    std::vector<qint64> ids;
    while ((forward ? t.next() : t.previous()) == 0)
        ids.push_back(t.record().number("P_:ID"));
    EXPECT_EQ(t.errorCode(), EndOfFile);
    return ids;
}

class KeyOrderTest : public StoreFolder {
protected:
    void fill(DataTable& t, Model& m) {
        QRandomGenerator rng(20261208);
        const QStringList users{"amy", "Bob", "carl"};
        const QStringList words{"mail", "Mail", "bank", "zeta", "Émile", "émile", "a", "b b"};
        const QStringList urls{"", "https://x", "https://Y"};
        auto pick = [&](const QStringList& l) { return l[rng.bounded(int(l.size()))]; };
        for (int i = 0; i < 120; ++i) {
            Record& r = t.record();
            r.clear();
            r.setText("P_:USER", pick(users));
            r.setText("P_:SERVICE", pick(words));
            r.setText("P_:NAME", pick(words));
            r.setText("P_:URL", pick(urls));
            r.setText("P_:PASSWORD", pick(words));
            r.setNumber("P_:MONITOR", rng.bounded(2));
            r.setNumber("P_:LASTCHANGEDATE", 80000 + rng.bounded(3));
            r.setNumber("P_:LASTCHANGETIME", rng.bounded(3) * 100);
            r.setNumber("P_:EXPIRYDATE", rng.bounded(2) * 80010);
            r.setNumber("P_:LEVEL", rng.bounded(2) ? 4000 : 10000);
            const bool clash = std::any_of(m.rows.begin(), m.rows.end(), [&](const Record& o) {
                return compareKey(t.def().keys[1], o, r) == 0;
            });
            const int rc = t.add();
            ASSERT_EQ(rc, clash ? DuplicateKey : 0) << i;
            if (rc == 0) {
                m.rows.push_back(r);
                m.ids.push_back(r.number("P_:ID"));
            }
        }
        ASSERT_GT(m.rows.size(), 40u);
    }
};

} // namespace

TEST_F(KeyOrderTest, EveryKeyWalksInOrderBothWaysWithDuplicates) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    Model m;
    fill(t, m);
    for (size_t k = 0; k < t.def().keys.size(); ++k) {
        const KeyDef& key = t.def().keys[k];
        SCOPED_TRACE(key.name.toStdString());
        const std::vector<qint64> expected = expectedOrder(key, m);
        ASSERT_EQ(t.setToStart(int(k)), 0);
        EXPECT_EQ(walk(t, true), expected);
        ASSERT_EQ(t.setToEnd(int(k)), 0);
        std::vector<qint64> backward = walk(t, false);
        std::reverse(backward.begin(), backward.end());
        EXPECT_EQ(backward, expected);
    }
}

TEST_F(KeyOrderTest, PositionBeforeOrAfterAValueThenStepEitherWay) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    Model m;
    fill(t, m);
    for (size_t k = 0; k < t.def().keys.size(); ++k) {
        const KeyDef& key = t.def().keys[k];
        SCOPED_TRACE(key.name.toStdString());
        const std::vector<qint64> order = expectedOrder(key, m);
        for (size_t probe = 0; probe < m.rows.size(); probe += 7) {
            const Record& value = m.rows[probe];
            // Index of the first record not below the value and the first above it.
            auto position = [&](bool after) {
                size_t i = 0;
                while (i < order.size()) {
                    const size_t row = std::find(m.ids.begin(), m.ids.end(), order[i]) - m.ids.begin();
                    const int d = compareKey(key, m.rows[row], value);
                    if (after ? d > 0 : d >= 0)
                        break;
                    ++i;
                }
                return i;
            };
            for (bool after : {false, true}) {
                const size_t at = position(after);
                t.record() = value;
                ASSERT_EQ(t.setPosition(int(k), after), 0);
                if (at < order.size()) {
                    ASSERT_EQ(t.next(), 0);
                    EXPECT_EQ(t.record().number("P_:ID"), order[at]);
                } else {
                    EXPECT_EQ(t.next(), EndOfFile);
                }
                t.record() = value;
                ASSERT_EQ(t.setPosition(int(k), after), 0);
                if (at > 0) {
                    ASSERT_EQ(t.previous(), 0);
                    EXPECT_EQ(t.record().number("P_:ID"), order[at - 1]);
                } else {
                    EXPECT_EQ(t.previous(), EndOfFile);
                }
            }
        }
    }
}

TEST_F(KeyOrderTest, OneUsersEntriesFromAPartialKeyValue) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    for (const char* s : {"zeta", "alpha", "Mid"})
        ASSERT_EQ(addEntry(t, "bob", s, "n"), 0);
    ASSERT_EQ(addEntry(t, "amy", "x", "n"), 0);
    ASSERT_EQ(addEntry(t, "carl", "x", "n"), 0);
    t.record().clear();
    t.record().setText("P_:USER", u"BOB");
    ASSERT_EQ(t.setPosition(t.def().keyIndex("P_:KEYSERVICE")), 0);
    QStringList seen;
    while (t.next() == 0 && t.record().sameText(t.record().fieldIndex("P_:USER"), u"bob"))
        seen << t.record().text("P_:SERVICE");
    EXPECT_EQ(seen, (QStringList{"alpha", "Mid", "zeta"}));
    // Fetching makes the next step continue from the fetched record.
    t.record().setText("P_:USER", u"bob");
    t.record().setText("P_:SERVICE", u"mid");
    t.record().setText("P_:NAME", u"n");
    ASSERT_EQ(t.fetch(t.def().keyIndex("P_:KEYSERVICE")), 0);
    ASSERT_EQ(t.next(), 0);
    EXPECT_EQ(t.record().text("P_:SERVICE"), "zeta");
    ASSERT_EQ(t.previous(), 0);
    EXPECT_EQ(t.record().text("P_:SERVICE"), "Mid");
}

// The model's records of one user in key order, optionally with the next
// component between two numbers.
std::vector<qint64> expectedRange(const KeyDef& key, const Model& m, const QString& user,
                                  std::optional<qint64> low = {}, std::optional<qint64> high = {}) {
    Model part;
    for (size_t i = 0; i < m.rows.size(); ++i) {
        const Record& r = m.rows[i];
        const qint64 next = key.components.size() > 1 ? r.number(key.components[1]) : 0;
        if (r.text("P_:USER").compare(user, Qt::CaseInsensitive) != 0) continue;
        if ((low && next < *low) || (high && next > *high)) continue;
        part.rows.push_back(r);
        part.ids.push_back(m.ids[i]);
    }
    return expectedOrder(key, part);
}

std::vector<qint64> numbers(const std::vector<RangeRow>& rows) {
    std::vector<qint64> out;
    for (const RangeRow& r : rows) out.push_back(r.recordNumber);
    return out;
}

TEST_F(KeyOrderTest, ARangeIsCountedAndReadByPositionFromEitherEnd) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    Model m;
    fill(t, m);
    const int id = t.def().fieldIndex("P_:ID");
    for (const char* keyName : {"P_:KEYSERVICE", "P_:KEYURL", "P_:KEYDATECHANGED"}) {
        const int k = t.def().keyIndex(QLatin1String(keyName));
        SCOPED_TRACE(keyName);
        const std::vector<qint64> order = expectedRange(t.def().keys[k], m, "bob");
        const KeyRange range{k, {QStringLiteral("BOB ")}, {}, {}};
        ASSERT_EQ(t.countRange(range), qint64(order.size()));
        for (qint64 offset : {qint64(0), qint64(5), qint64(order.size() - 3)}) {
            std::vector<RangeRow> rows;
            ASSERT_EQ(t.readRange(range, offset, 7, false, {id}, 255, rows), 0);
            const std::vector<qint64> want(order.begin() + offset,
                                           order.begin() + std::min<qint64>(offset + 7, order.size()));
            EXPECT_EQ(numbers(rows), want);
            for (const RangeRow& r : rows) EXPECT_EQ(r.values.at(0).toLongLong(), r.recordNumber);
            ASSERT_EQ(t.readRange(range, offset, 7, true, {id}, 255, rows), 0);
            const qint64 end = qint64(order.size()) - offset;
            EXPECT_EQ(numbers(rows), std::vector<qint64>(order.begin() + std::max<qint64>(0, end - 7),
                                                         order.begin() + end));
        }
        // From the place after each record, any distance on: what a list
        // that remembers every thousandth place reads when it jumps.
        std::vector<RangeRow> all;
        ASSERT_EQ(t.readRange(range, 0, 1000, false, {}, 255, all), 0);
        for (size_t i = 0; i < all.size(); i += 5) {
            for (qint64 offset : {qint64(0), qint64(4)}) {
                std::vector<RangeRow> rows;
                ASSERT_EQ(t.readRangeAfter(range, all[i].mark(), offset, 3, {id}, 255, rows), 0);
                const size_t from = std::min(all.size(), i + 1 + size_t(offset));
                EXPECT_EQ(numbers(rows), std::vector<qint64>(order.begin() + from,
                                                             order.begin() + std::min(from + 3, order.size())))
                    << i << "+" << offset;
            }
        }
    }
}

TEST_F(KeyOrderTest, APositionWithinARangeCountsTheRecordsBeforeIt) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    Model m;
    fill(t, m);
    const int k = t.def().keyIndex("P_:KEYSERVICE");
    const KeyDef& key = t.def().keys[k];
    const std::vector<qint64> order = expectedRange(key, m, "carl");
    const KeyRange range{k, {QStringLiteral("carl")}, {}, {}};
    for (size_t i = 0; i < order.size(); i += 3) {
        const size_t row = std::find(m.ids.begin(), m.ids.end(), order[i]) - m.ids.begin();
        const Record& r = m.rows[row];
        EXPECT_EQ(t.countRangeBefore(range, {{r.text("P_:SERVICE"), r.text("P_:NAME")}, order[i]}),
                  qint64(i));
    }
    // A typed start of a service: the first record not below it, in any case.
    auto firstAtLeast = [&](const QString& typed) {
        qint64 n = 0;
        for (qint64 recordId : order) {
            const size_t row = std::find(m.ids.begin(), m.ids.end(), recordId) - m.ids.begin();
            if (m.rows[row].text("P_:SERVICE").compare(typed, Qt::CaseInsensitive) >= 0) break;
            ++n;
        }
        return n;
    };
    for (const QString typed : {"", "B", "ma", "MAIL", "y", "ém", "zz"})
        EXPECT_EQ(t.countRangeBefore(range, {{typed}, 0}), firstAtLeast(typed)) << typed.toStdString();
}

TEST_F(KeyOrderTest, ARangeBoundedOnItsNextNumberKeepsOnlyThoseRecords) {
    DataTable t(passwordsTable());
    createAndOpen(t);
    Model m;
    fill(t, m);
    const int k = t.def().keyIndex("P_:KEYEXPIRYDATE");
    const std::vector<qint64> order = expectedRange(t.def().keys[k], m, "amy", 1, 80010);
    ASSERT_FALSE(order.empty());
    const KeyRange range{k, {QStringLiteral("amy")}, 1, 80010};
    EXPECT_EQ(t.countRange(range), qint64(order.size()));
    std::vector<RangeRow> rows;
    ASSERT_EQ(t.readRange(range, 0, 1000, false, {}, 255, rows), 0);
    EXPECT_EQ(numbers(rows), order);
    std::vector<RangeRow> after;
    ASSERT_EQ(t.readRangeAfter(range, rows.front().mark(), 0, 1000, {}, 255, after), 0);
    EXPECT_EQ(numbers(after), std::vector<qint64>(order.begin() + 1, order.end()));
    EXPECT_EQ(t.countRange(KeyRange{k, {QStringLiteral("amy")}, 1, 80009}), 0);
    // A bound needs a number component after the fixed ones.
    EXPECT_EQ(t.countRange(KeyRange{t.def().keyIndex("P_:KEYSERVICE"), {QStringLiteral("amy")}, 1, 2}), -1);
    EXPECT_NE(t.errorCode(), 0);
}

// Trailing blanks never count: texts keep them, earlier versions stored none.
TEST(TextCollation, OrdersLikeCaseFoldedTextWithoutTrailingBlanksWhateverTheFastPath) {
    const QStringList texts{"", " ", "a", "A", "a ", "ab", "aB ", "ab  ", "a b", "a!", "abc", "b",
                            "_", "Z", "z", "é", "É", "é ", "ée", "ÉF", "eé", "straße", "STRASSE",
                            "ſ", "s", "ǅ", "ǆ", "Ω", "ω", "a\u00e9", "A\u00c9b", "\U0001F600",
                            "x\U0001F600", "x\U0001F600 "};
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    auto cut = [](QString text) {
        while (text.endsWith(u' ')) text.chop(1);
        return text;
    };
    for (const QString& a : texts) {
        for (const QString& b : texts) {
            const QByteArray ua = a.toUtf8(), ub = b.toUtf8();
            const int got = compareFolded(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()));
            EXPECT_EQ(sign(got), sign(cut(a).compare(cut(b), Qt::CaseInsensitive)))
                << a.toStdString() << " vs " << b.toStdString();
            EXPECT_EQ(sign(got), -sign(compareFolded(ub.constData(), int(ub.size()), ua.constData(),
                                                     int(ua.size()))));
        }
    }
}

#include "entries/PasswordListModel.h"
#include "tests/entries/ListFixture.h"
#include <QSignalSpy>
#include <set>

using namespace ql;
using ql::test::ListFixture;
using ql::test::settle;

namespace {

class PasswordListModelTest : public ListFixture {
protected:
    void SetUp() override {
        ListFixture::SetUp();
        ASSERT_EQ(managers().passwords.open(table_), 0);
    }
    void TearDown() override {
        table_.close();
        ListFixture::TearDown();
    }

    QString cell(PasswordListModel& model, int row, int column) {
        return model.data(model.index(row, column)).toString();
    }
    // Every service the model shows, row by row.
    QStringList services(PasswordListModel& model) {
        QStringList out;
        for (int row = 0; row < model.rowCount(); ++row) out << cell(model, row, 0);
        return out;
    }

    DataTable table_{passwordsTable()};
};

TEST_F(PasswordListModelTest, ShowsTheFirstPageAtOnceThenTheWholeRangeHoldingOnlyAFewPages) {
    storeMany("amy", 2500, "svc");
    storeMany("bob", 300, "bob's");
    PasswordListModel model(table_);
    QSignalSpy settled(&model, &PasswordListModel::settled);
    model.show("amy", ListTab::Service, clock_.day);
    EXPECT_EQ(model.rowCount(), PasswordListModel::kPageRows);
    EXPECT_FALSE(model.counted());
    settle();
    ASSERT_EQ(model.rowCount(), 2500);
    EXPECT_TRUE(model.marksComplete());
    EXPECT_EQ(settled.count(), 1);
    // Any row, in any order of reading: from the marks, from the page before
    // or from the nearer end.
    for (int row : {2499, 0, 1234, 999, 1000, 1001, 2400, 7})
        EXPECT_EQ(cell(model, row, 0), QStringLiteral("svc %1").arg(row, 5, 10, QChar(u'0')));
    // A walk through every row holds no more than a few pages, and shows
    // none of the other user's entries.
    const QStringList all = services(model);
    EXPECT_EQ(all.filter("bob's").size(), 0);
    EXPECT_EQ(all.size(), 2500);
    EXPECT_LE(model.heldRows(), PasswordListModel::kHeldPages * PasswordListModel::kPageRows);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
}

TEST_F(PasswordListModelTest, ColumnsShowTheFieldsWithTheDatePictureAndOneLineOfNotes) {
    storeEntry("amy", "Mail", "jdoe", [](Record& r) {
        r.setText("P_:URL", u"https://mail.example.com");
        r.setText("P_:NOTES", u"first line\r\nsecond");
        r.setNumber("P_:EXPIRYDATE", 0);
        r.setNumber("P_:LASTCHANGEDATE", 82000);
    });
    PasswordListModel model(table_);
    model.setDatePicture("@d6");
    model.show("amy", ListTab::Service, clock_.day);
    QStringList headers;
    for (int c = 0; c < model.columnCount(); ++c)
        headers << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(headers, (QStringList{"Service", "URL (Link)", "Name", "Notes", "Expiry Date",
                                    "Last Change Date"}));
    EXPECT_EQ(cell(model, 0, PasswordListModel::Url), "https://mail.example.com");
    EXPECT_EQ(cell(model, 0, PasswordListModel::Name), "jdoe");
    EXPECT_EQ(cell(model, 0, PasswordListModel::Notes), "first line second");
    EXPECT_EQ(cell(model, 0, PasswordListModel::ExpiryDate).trimmed(), "");
    EXPECT_EQ(cell(model, 0, PasswordListModel::LastChangeDate), formatDate(82000, "@d6"));
}

TEST_F(PasswordListModelTest, ExpiredListsOnlyEntriesWithAnExpiryDateUpToTodayEarliestFirst) {
    const int32_t today = clock_.day;
    for (auto [service, expiry] : std::vector<std::pair<QString, int32_t>>{
             {"never", 0}, {"today", today}, {"tomorrow", today + 1}, {"long ago", today - 400},
             {"yesterday", today - 1}})
        storeEntry("amy", service, "n", [expiry](Record& r) { r.setNumber("P_:EXPIRYDATE", expiry); });
    storeEntry("bob", "bob expired", "n", [today](Record& r) { r.setNumber("P_:EXPIRYDATE", today - 5); });
    PasswordListModel model(table_);
    model.show("amy", ListTab::Expired, today);
    settle();
    EXPECT_EQ(services(model), (QStringList{"long ago", "yesterday", "today"}));
    model.show("amy", ListTab::Service, today);
    EXPECT_EQ(services(model), (QStringList{"long ago", "never", "today", "tomorrow", "yesterday"}));
}

TEST_F(PasswordListModelTest, LocatingFindsTheFirstEntryNotBelowTheTextIgnoringCase) {
    storeMany("amy", 2300, "svc");
    for (const char* s : {"Alpha", "beta", "BETTER", "zulu"}) storeEntry("amy", s, "n");
    PasswordListModel model(table_);
    model.show("amy", ListTab::Service, clock_.day);
    // Before the marks are noted the position is counted; after, it is found
    // from the marks. Both must agree.
    for (bool marked : {false, true}) {
        SCOPED_TRACE(marked ? "from the marks" : "counted");
        if (marked) settle();
        ASSERT_EQ(model.marksComplete(), marked);
        EXPECT_EQ(cell(model, model.locate(QString("BET")), 0), "beta");
        EXPECT_EQ(cell(model, model.locate(QString("bett")), 0), "BETTER");
        EXPECT_EQ(cell(model, model.locate(QString("svc 0150")), 0), "svc 01500");
        EXPECT_EQ(cell(model, model.locate(QString("svc 02299x")), 0), "zulu");
        EXPECT_EQ(model.locate(QString("zz")), model.rowCount() - 1);
        EXPECT_EQ(model.locate(QString("a")), 0);
    }
    model.show("nobody", ListTab::Service, clock_.day);
    EXPECT_EQ(model.locate(QString("a")), -1);
}

TEST_F(PasswordListModelTest, LocatingOnADateTabUsesDayNumbers) {
    storeMany("amy", 1500, "svc");
    PasswordListModel model(table_);
    model.show("amy", ListTab::Date, clock_.day);
    settle();
    const int row = model.locate(QVariant(qint64(81350)));
    ASSERT_GE(row, 0);
    EXPECT_EQ(cell(model, row, PasswordListModel::LastChangeDate), formatDate(81350, "@d17"));
    EXPECT_EQ(cell(model, row - 1, PasswordListModel::LastChangeDate), formatDate(81349, "@d17"));
}

TEST_F(PasswordListModelTest, AStoredEntryIsFoundByItsRowAndEntriesOutsideAreNot) {
    storeMany("amy", 250, "svc");
    const qint64 mail = storeEntry("amy", "mail", "jdoe");
    const qint64 bobs = storeEntry("bob", "mail", "jdoe");
    PasswordListModel model(table_);
    model.show("amy", ListTab::Name, clock_.day);
    ASSERT_EQ(table_.getByRecordNumber(mail), 0);
    const int row = model.rowOf(table_.record(), mail);
    ASSERT_GE(row, 0);
    EXPECT_EQ(model.recordNumber(row), mail);
    ASSERT_EQ(table_.getByRecordNumber(bobs), 0);
    EXPECT_EQ(model.rowOf(table_.record(), bobs), -1);
    model.show("amy", ListTab::Expired, clock_.day);
    ASSERT_EQ(table_.getByRecordNumber(mail), 0);
    EXPECT_EQ(model.rowOf(table_.record(), mail), -1);
}

TEST_F(PasswordListModelTest, RefreshShowsWhatAnotherConnectionStored) {
    storeEntry("amy", "one", "n");
    PasswordListModel model(table_);
    model.show("amy", ListTab::Service, clock_.day);
    ASSERT_EQ(model.rowCount(), 1);
    storeEntry("amy", "two", "n");
    EXPECT_EQ(model.rowCount(), 1);
    model.refresh(clock_.day);
    EXPECT_EQ(services(model), (QStringList{"one", "two"}));
}

// Entries whose every column is in another order than the service: the
// walk through a sorted column crosses pages, marks and the far end.
class SortedColumns : public PasswordListModelTest {
protected:
    void storeVaried(int count) {
        DataTable table(passwordsTable());
        ASSERT_EQ(managers().passwords.open(table), 0);
        table.stream();
        for (int i = 0; i < count; ++i) {
            const int j = (i * 7919) % count; // a different order for each column
            prime(table.record(), "amy", QStringLiteral("svc %1").arg(i, 5, 10, QChar(u'0')),
                  QStringLiteral("%1name %2").arg(QChar(i % 2 ? u'N' : u'n')).arg(j, 5, 10, QChar(u'0')));
            table.record().setText("P_:URL", QStringLiteral("https://%1.example").arg((j * 31) % count));
            table.record().setText("P_:NOTES", i % 5 ? QStringLiteral("Note %1").arg((j * 13) % count)
                                                     : QString());
            table.record().setNumber("P_:EXPIRYDATE", i % 3 ? 0 : 80000 + (j * 17) % 5000);
            table.record().setNumber("P_:LASTCHANGEDATE", 81000 + (j * 3) % 700);
            ASSERT_EQ(table.add(), 0);
        }
        ASSERT_EQ(table.flush(), 0);
    }
    // A column's stored values, row by row.
    std::vector<QVariant> column(PasswordListModel& model, int c) {
        std::vector<QVariant> values;
        for (int row = 0; row < model.rowCount(); ++row)
            values.push_back(model.data(model.index(row, c), PasswordListModel::StoredValueRole));
        return values;
    }
    std::vector<qint64> records(PasswordListModel& model) {
        std::vector<qint64> numbers;
        for (int row = 0; row < model.rowCount(); ++row) numbers.push_back(model.recordNumber(row));
        return numbers;
    }
    static bool inOrder(const std::vector<QVariant>& values) {
        return std::is_sorted(values.begin(), values.end(), [](const QVariant& a, const QVariant& b) {
            if (a.typeId() == QMetaType::QString) // ignoring case, and accents too for the notes
                return foldForSearch(a.toString()) < foldForSearch(b.toString());
            return a.toLongLong() < b.toLongLong();
        });
    }
};

TEST_F(SortedColumns, EachColumnSortsEveryEntryAndAColumnWithATabShowsItsOrder) {
    constexpr int kCount = 1300;
    storeVaried(kCount);
    PasswordListModel model(table_);
    PasswordListModel tabs(table_);
    for (int c = 0; c < PasswordListModel::ColumnCount; ++c) {
        SCOPED_TRACE(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
        model.show("amy", ListTab::Service, clock_.day);
        model.sortBy(c);
        settle();
        EXPECT_EQ(model.sortColumn(), c);
        ASSERT_EQ(model.rowCount(), kCount);
        EXPECT_TRUE(inOrder(column(model, c)));
        std::vector<qint64> numbers = records(model);
        EXPECT_EQ(std::set<qint64>(numbers.begin(), numbers.end()).size(), size_t(kCount));
        if (const std::optional<ListTab> tab = PasswordListModel::tabOfColumn(c)) {
            EXPECT_EQ(model.tab(), *tab);
            tabs.show("amy", *tab, clock_.day);
            settle();
            EXPECT_EQ(records(tabs), numbers);
        }
    }
}

TEST_F(SortedColumns, TheExpiredTabSortsItsOwnEntriesByNotesAndTheNotesSortSurvivesASearch) {
    storeVaried(400);
    storeEntry("amy", "Zeta", "n", [](Record& r) { r.setText("P_:NOTES", u"apple pie"); });
    storeEntry("amy", "Alpha", "n", [](Record& r) { r.setText("P_:NOTES", u"Äpfel"); });
    PasswordListModel model(table_);
    model.show("amy", ListTab::Expired, clock_.day);
    settle();
    const int expired = model.rowCount();
    ASSERT_GT(expired, 10);
    model.sortBy(PasswordListModel::Notes);
    EXPECT_EQ(model.tab(), ListTab::Expired);
    ASSERT_EQ(model.rowCount(), expired) << "the tab's entries only";
    EXPECT_TRUE(inOrder(column(model, PasswordListModel::Notes)));
    model.show("amy", ListTab::Service, clock_.day);
    model.sortBy(PasswordListModel::Notes);
    model.search("ap");
    const std::vector<QVariant> found = column(model, PasswordListModel::Notes);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].toString(), "Äpfel") << "ignoring accents: apfel before apple";
    model.search("");
    EXPECT_EQ(model.rowCount(), 402);
    EXPECT_TRUE(inOrder(column(model, PasswordListModel::Notes)));
    const QString located =
        model.data(model.index(model.locate(QString("note 2")), PasswordListModel::Notes)).toString();
    EXPECT_TRUE(located.startsWith("Note 2")) << located.toStdString();
}

} // namespace

#include "entries/PasswordListModel.h"
#include "tests/entries/ListFixture.h"
#include <QSignalSpy>

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

} // namespace

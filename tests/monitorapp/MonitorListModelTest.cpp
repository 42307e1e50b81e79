#include "entries/PasswordListModel.h"
#include "monitorapp/MonitorListModel.h"
#include "tests/entries/ListFixture.h"
#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace ql;
using ql::test::ListFixture;
using ql::test::settle;
using Mark = MonitorListModel::EntryMark;

namespace {

class MonitorListModelTest : public ListFixture {
protected:
    void SetUp() override {
        ListFixture::SetUp();
        ASSERT_EQ(managers().passwords.open(table_), 0);
    }
    void TearDown() override {
        table_.close();
        ListFixture::TearDown();
    }
    QString cell(int row, int column) { return list_.data(list_.index(row, column)).toString(); }
    QStringList column(int c) {
        QStringList out;
        for (int row = 0; row < list_.rowCount(); ++row) out << cell(row, c);
        return out;
    }

    DataTable table_{passwordsTable()};
    PasswordListModel pages_{table_};
    MonitorListModel list_{pages_};
    QAbstractItemModelTester tester_{&list_, QAbstractItemModelTester::FailureReportingMode::Warning};
};

TEST_F(MonitorListModelTest, ShowsOneUsersEntriesWithTheirMarksInTheMonitorsColumns) {
    const int32_t today = clock_.day;
    storeEntry("amy", "mail", "amy.m", [](Record& r) {
        r.setText("P_:URL", u"https://mail.example");
        r.setText("P_:NOTES", u"first\nsecond");
    });
    storeEntry("amy", "bank", "a.b", [&](Record& r) { r.setNumber("P_:EXPIRYDATE", today - 1); });
    storeEntry("amy", "shop", "a.s", [&](Record& r) { r.setNumber("P_:EXPIRYDATE", today); });
    // Watched wins over expired.
    storeEntry("amy", "work", "a.w", [&](Record& r) {
        r.setNumber("P_:MONITOR", 1);
        r.setNumber("P_:EXPIRYDATE", today - 30);
    });
    storeEntry("bob", "bob's", "b");

    list_.show("amy", today);
    settle();
    ASSERT_EQ(list_.rowCount(), 4);
    EXPECT_EQ(column(MonitorListModel::Service), QStringList({"bank", "mail", "shop", "work"}));
    EXPECT_EQ(column(MonitorListModel::Name), QStringList({"a.b", "amy.m", "a.s", "a.w"}));
    EXPECT_EQ(cell(1, MonitorListModel::Url), "https://mail.example");
    EXPECT_EQ(cell(1, MonitorListModel::Notes), "first second");
    EXPECT_FALSE(cell(0, MonitorListModel::ExpiryDate).isEmpty());
    EXPECT_TRUE(cell(1, MonitorListModel::ExpiryDate).isEmpty());
    EXPECT_EQ(list_.mark(0), Mark::Expired);
    EXPECT_EQ(list_.mark(1), Mark::Blank);
    EXPECT_EQ(list_.mark(2), Mark::Blank) << "expiring today is not yet expired";
    EXPECT_EQ(list_.mark(3), Mark::Watched);
    EXPECT_EQ(list_.data(list_.index(3, 0), MonitorListModel::MarkRole).toInt(), 2);
    EXPECT_EQ(list_.headerData(MonitorListModel::Url, Qt::Horizontal, Qt::DisplayRole), "URL");

    // Without pictures the mark column shows nothing; with them, the mark's.
    EXPECT_FALSE(list_.data(list_.index(0, 0), Qt::DecorationRole).isValid());
    list_.markPicture = [](Mark m) { return QVariant(int(m) * 10); };
    EXPECT_EQ(list_.data(list_.index(0, 0), Qt::DecorationRole).toInt(), 30);

    // The record number leads to the stored entry.
    ASSERT_EQ(table_.getByRecordNumber(list_.recordNumber(3)), 0);
    EXPECT_EQ(table_.record().text("P_:SERVICE").trimmed(), "work");
}

TEST_F(MonitorListModelTest, ShowingTheSameUserAgainKeepsTheRowsAnotherUserStartsAfresh) {
    storeEntry("amy", "b", "1");
    storeEntry("amy", "d", "2");
    list_.show("amy", clock_.day);
    settle();
    QSignalSpy resets(&list_, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&list_, &QAbstractItemModel::rowsInserted);
    storeEntry("amy", "a", "3"); // added by the other program meanwhile
    list_.show("amy", clock_.day);
    settle();
    EXPECT_EQ(resets.count(), 0) << "a view keeps its place on a refresh";
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(column(MonitorListModel::Service), QStringList({"a", "b", "d"}));

    list_.show("bob", clock_.day);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(list_.rowCount(), 0);
    EXPECT_EQ(list_.user(), "bob");
}

TEST_F(MonitorListModelTest, ALongListGrowsToItsFullLengthAPageAtATime) {
    storeMany("amy", 2300, "svc");
    list_.show("amy", clock_.day);
    EXPECT_EQ(list_.rowCount(), PasswordListModel::kPageRows) << "the first page shows at once";
    settle();
    ASSERT_EQ(list_.rowCount(), 2300);
    EXPECT_EQ(cell(2299, MonitorListModel::Service), "svc 02299");
    EXPECT_EQ(cell(1000, MonitorListModel::Name), "n1000");
    EXPECT_LE(pages_.heldRows(), PasswordListModel::kHeldPages * PasswordListModel::kPageRows);
}

TEST_F(MonitorListModelTest, ASearchKeepsTheEntriesHoldingEveryWordWithTheirMarksAcrossUsers) {
    storeEntry("amy", "Bäckerei", "amy", [](Record& r) { r.setNumber("P_:MONITOR", 1); });
    storeEntry("amy", "Bank", "amy.b");
    storeEntry("amy", "Mail", "amy", [&](Record& r) {
        r.setText("P_:NOTES", u"Konto bei der BACKEREI");
        r.setNumber("P_:EXPIRYDATE", clock_.day - 1);
    });
    storeEntry("bob", "Backstube", "bob");
    list_.show("amy", clock_.day);
    settle();
    EXPECT_EQ(list_.search("backerei", 1), 0) << "the highlighted entry is not found";
    EXPECT_EQ(column(MonitorListModel::Service), QStringList({"Bäckerei", "Mail"}));
    EXPECT_EQ(list_.mark(0), Mark::Watched);
    EXPECT_EQ(list_.mark(1), Mark::Expired);
    EXPECT_EQ(list_.search("backerei konto", 1), 0);
    EXPECT_EQ(column(MonitorListModel::Service), QStringList({"Mail"}));
    ASSERT_EQ(table_.getByRecordNumber(list_.recordNumber(0)), 0);
    EXPECT_EQ(table_.record().text("P_:SERVICE").trimmed(), "Mail");
    // Another user's list keeps to the search; reading it again too.
    list_.search("back", 0);
    list_.show("bob", clock_.day);
    EXPECT_EQ(column(MonitorListModel::Service), QStringList({"Backstube"}));
    list_.show("amy", clock_.day);
    list_.show("amy", clock_.day);
    EXPECT_EQ(column(MonitorListModel::Service), QStringList({"Bäckerei", "Mail"}));
    EXPECT_EQ(list_.search("", 1), 2) << "all of them again, at the entry highlighted";
    EXPECT_EQ(list_.rowCount(), 3);
}

} // namespace

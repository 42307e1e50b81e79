#include "entries/EntrySearch.h"
#include "tests/entries/ListFixture.h"

using namespace Qt::StringLiterals;

using namespace ql;
using ql::test::ListFixture;
using ql::test::settle;

namespace {

TEST(EntrySearchText, FoldsCaseAccentsAndCompatibilityFormsAndSplitsWordsOnAnyBlank) {
    EXPECT_EQ(foldForSearch(u"Éric Müller"), "eric muller");
    EXPECT_EQ(foldForSearch(u"ÇA VA, Señor Ångström"), "ca va, senor angstrom");
    EXPECT_EQ(foldForSearch(u"ﬁle Ⅻ"), "file xii"); // a ligature, a Roman numeral
    EXPECT_EQ(foldForSearch(u"Straße"), "strasse");
    EXPECT_EQ(foldForSearch(u"日本 Ωμέγα"), "日本 ωμεγα");
    EXPECT_EQ(searchWords(u"  MÜLLER\téric\u00a0bank  müller "_s), (QStringList{"muller", "eric", "bank"}));
    EXPECT_TRUE(searchWords(u" \t "_s).isEmpty());
    const QString folded = foldForSearch(u"Crédit Agricole\nmarie.dupont\nhttps://ca.fr\n");
    EXPECT_TRUE(holdsEveryWord(folded, searchWords(u"CREDIT dupont"_s)));
    EXPECT_TRUE(holdsEveryWord(folded, searchWords(u"gri ca.f"_s)));
    EXPECT_FALSE(holdsEveryWord(folded, searchWords(u"credit durand"_s)));
    EXPECT_FALSE(holdsEveryWord(folded, searchWords(u"agricolemarie"_s))) << "no word spans two fields";
}

class EntrySearchTest : public ListFixture {
protected:
    std::unique_ptr<BrowsePasswords> openList(const QString& user) {
        auto list = std::make_unique<BrowsePasswords>(browseServices());
        EXPECT_TRUE(list->open(choose(user)));
        settle();
        return list;
    }
    // Stores the entries of the search table: service, name, URL, notes.
    void storeTable() {
        const QStringList rows[] = {
            {"Crédit Agricole", "marie.dupont", "https://ca.fr", "Compte joint avec Éric"},
            {"Banque Populaire", "Eric Müller", "https://bp.fr", ""},
            {"Mail", "emuller", "https://mail.example", "second address\nMÜLLER family"},
            {"Zürich Versicherung", "zz", "", "Police Nr. 4711"},
            {"Ebay", "eric", "https://ebay.example", "old account"},
            {"Forum", "anon", "https://forum.example/müller", ""},
        };
        for (const QStringList& r : rows)
            storeEntry("amy", r[0], r[1], [&](Record& e) {
                e.setText("P_:URL", r[2]);
                e.setText("P_:NOTES", r[3]);
            });
        storeEntry("bob", "Müller Bank", "bob");
    }
    static QStringList column(BrowsePasswords& list, int column) {
        PasswordListModel& m = list.model();
        QStringList out;
        for (int row = 0; row < m.rowCount(); ++row) out << m.data(m.index(row, column)).toString();
        return out;
    }
};

TEST_F(EntrySearchTest, KeepsTheEntriesHoldingEveryWordInAnySearchedFieldInTheTabsOrder) {
    storeTable();
    auto list = openList("amy");
    EXPECT_TRUE(list->model().indexComplete());
    using L = QStringList;
    const struct {
        QString typed;
        QStringList services;
    } cases[] = {
        {"müller", {"Banque Populaire", "Forum", "Mail"}}, // name, URL, notes; never bob's
        {"MULLER eric", {"Banque Populaire"}},
        {"eric", {"Banque Populaire", "Crédit Agricole", "Ebay"}},
        {"éric  COMPTE", {"Crédit Agricole"}},
        {"zurich 4711", {"Zürich Versicherung"}},
        {"https .fr", {"Banque Populaire", "Crédit Agricole"}},
        {"nobody", L{}},
        {"eric nobody", L{}},
    };
    for (const auto& c : cases) {
        list->search(c.typed, 0);
        EXPECT_EQ(column(*list, PasswordListModel::Service), c.services) << c.typed.toStdString();
    }
    // Another tab orders the same entries its own way; typed text locates among them.
    list->search("eric", 0);
    list->selectTab(ListTab::Name);
    EXPECT_EQ(column(*list, PasswordListModel::Name), (L{"eric", "Eric Müller", "marie.dupont"}));
    EXPECT_EQ(list->locate("m"), 2);
    EXPECT_EQ(list->locate("ez"), 2);
    EXPECT_EQ(list->locate("a"), 0);
    // A narrower search keeps to the entries found; a wider one looks again.
    list->search("eric mu", 0);
    EXPECT_EQ(column(*list, PasswordListModel::Name), (L{"Eric Müller"}));
    list->search("er", 0);
    EXPECT_EQ(column(*list, PasswordListModel::Name).size(), 6);
}

TEST_F(EntrySearchTest, ActionsWorkOnTheFoundEntryAndClearingShowsTheWholeListAtIt) {
    storeTable();
    auto list = openList("amy");
    const int found = list->search("zurich", 0);
    EXPECT_EQ(found, 0);
    ASSERT_EQ(list->model().rowCount(), 1);
    list->copyField(found, CopyField::Name);
    EXPECT_EQ(clipboard_.text(), "zz");
    list->send(found);
    ASSERT_EQ(monitor_.lists().queueRows().size(), 1u);
    EXPECT_EQ(monitor_.lists().queueRows().front().sendText, "zz[Tab]x1[Enter]");
    // Whole list again, the same entry highlighted.
    const int whole = list->search("", found);
    EXPECT_EQ(list->model().rowCount(), 6);
    EXPECT_EQ(list->model().data(list->model().index(whole, 0)).toString(), "Zürich Versicherung");
    // A search that loses the highlighted entry highlights its first row.
    EXPECT_EQ(list->search("mail", whole), 0);
}

TEST_F(EntrySearchTest, ChangesMadeWhileSearchingShowAfterARefresh) {
    storeTable();
    auto list = openList("amy");
    list->search("müller", 0);
    ASSERT_EQ(list->model().rowCount(), 3);
    // Another entry stored meanwhile sorts first: the highlighted row is
    // still the entry found there, which a change that no longer matches drops.
    storeEntry("amy", "Arzt Müller", "p");
    const int changed = list->change([](int, DataTable& t, Record&) {
        t.record().setText("P_:NAME", u"someone");
        return t.put() == 0 ? 1 : 2;
    }, 0);
    EXPECT_EQ(column(*list, PasswordListModel::Service), (QStringList{"Arzt Müller", "Forum", "Mail"}));
    EXPECT_GE(changed, 0);
    EXPECT_LT(changed, 3);
    list->search("", 0);
    EXPECT_EQ(list->model().rowCount(), 7);
}

TEST_F(EntrySearchTest, ALongListBuildsItsIndexWhileIdleAndShowsTheFoundEntriesPageByPage) {
    storeMany("amy", 1300, "svc");
    DataTable table(passwordsTable());
    ASSERT_EQ(managers().passwords.open(table), 0);
    PasswordListModel model(table);
    model.show("amy", ListTab::Service, clock_.day);
    EXPECT_FALSE(model.indexComplete());
    settle();
    EXPECT_TRUE(model.indexComplete());
    // "svc 00007", "svc 00017" ... "svc 01297", then the ones of "svc 0107x":
    // runs of neighbours and lone entries, across pages.
    model.search(u"7 SVC"_s);
    int rows = 0;
    for (int i = 0; i < 1300; ++i)
        if (QString::number(i).contains(u'7')) ++rows;
    ASSERT_EQ(model.rowCount(), rows);
    QStringList shown;
    for (int row = rows - 1; row >= 0; --row) // backwards: no page read from the one before
        shown.prepend(model.data(model.index(row, PasswordListModel::Service)).toString());
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_EQ(shown.filter(u"7"_s).size(), rows);
    EXPECT_EQ(shown.front(), "svc 00007");
    EXPECT_EQ(shown.back(), "svc 01297");
    EXPECT_LE(model.heldRows(), PasswordListModel::kHeldPages * PasswordListModel::kPageRows);
    // Clearing shows the whole list again, counted.
    model.search(u""_s);
    settle();
    EXPECT_EQ(model.rowCount(), 1300);
    model.search(u"svc 0128"_s);
    EXPECT_EQ(model.rowCount(), 11); // 00128 and 01280 to 01289
    // Letter by letter, each search among the entries the one before found,
    // finds what a search afresh finds.
    auto services = [&] {
        QStringList out;
        for (int row = 0; row < model.rowCount(); ++row)
            out << model.data(model.index(row, PasswordListModel::Service)).toString();
        return out;
    };
    for (const QString& typed : {u"0"_s, u"01"_s, u"012"_s, u"012 9"_s}) {
        model.search(typed);
        const QStringList narrowed = services();
        model.search(u""_s);
        model.search(typed);
        EXPECT_EQ(narrowed, services()) << typed.toStdString();
        EXPECT_FALSE(narrowed.isEmpty());
    }
    table.close();
}

} // namespace

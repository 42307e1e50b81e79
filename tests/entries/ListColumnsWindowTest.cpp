// The password list's column headings: sorting, arranging, and exporting the
// list as shown, the web page checked in a real headless browser.
#include "entries/views/BrowsePasswordsWindow.h"
#include "entries/views/PasswordListView.h"
#include "entries/views/SearchField.h"
#include "exchange/views/ListExportDialog.h"
#include "framework/IniStore.h"
#include "platform/core/FileDialogs.h"
#include "tests/entries/ListFixture.h"
#include "tests/support/TestApp.h"
#include <QCheckBox>
#include <QHeaderView>
#include <QRadioButton>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTabBar>
#include <QTest>
#include <memory>

using namespace ql;
using ql::test::ListFixture;
using ql::test::settle;

namespace {

class ListColumns : public ListFixture {
protected:
    void SetUp() override {
        testApp();
        ListFixture::SetUp();
        positions_.openStore(dir_.filePath("POSITION.INI"));
    }

    BrowsePasswordsWindow* open() {
        BrowseWindowTools tools{positions_, {}, {}, &files_,
                                [this](bool offered, QWidget*) {
                                    EXPECT_TRUE(offered);
                                    return exportChoice_;
                                }};
        auto first = [this](Record& u, QWidget*) { return choose("amy")(u); };
        BrowsePasswordsWindow* window = BrowsePasswordsWindow::open(browseServices(), tools, first);
        settle();
        return window;
    }
    static QStringList column(const PasswordListModel& model, int c) {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row) texts << model.data(model.index(row, c)).toString();
        return texts;
    }
    static void click(BrowsePasswordsWindow& window, int column) {
        QHeaderView* header = window.controls().list->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }

    IniStore positions_;
    ScriptedFileDialogs files_;
    std::optional<ListExportChoice> exportChoice_;
};

TEST_F(ListColumns, AClickOnAHeadingSortsByItsColumnThroughItsTabOrWithinTheTab) {
    storeEntry("amy", "Bank", "zed", [](Record& r) { r.setText("P_:NOTES", u"second"); });
    storeEntry("amy", "Mail", "amy", [](Record& r) { r.setText("P_:NOTES", u"First"); });
    storeEntry("amy", "Shop", "max", [](Record& r) { r.setNumber("P_:EXPIRYDATE", 90000); });
    QPointer<BrowsePasswordsWindow> window = open();
    ASSERT_TRUE(window);
    window->show();
    const BrowsePasswordsControls& c = window->controls();
    PasswordListModel& model = window->logic().model();
    QHeaderView* header = c.list->horizontalHeader();
    click(*window, PasswordListModel::Name);
    EXPECT_EQ(c.tabs->currentIndex(), int(ListTab::Name));
    EXPECT_EQ(column(model, PasswordListModel::Name), (QStringList{"amy", "max", "zed"}));
    click(*window, PasswordListModel::Notes);
    EXPECT_EQ(c.tabs->currentIndex(), int(ListTab::Name)) << "no tab orders by the notes";
    EXPECT_EQ(column(model, PasswordListModel::Service), (QStringList{"Shop", "Mail", "Bank"}));
    EXPECT_EQ(header->sortIndicatorSection(), int(PasswordListModel::Notes));
    window->grab().save(QCoreApplication::applicationDirPath() + "/password-list-sorted-by-notes.png");
    click(*window, PasswordListModel::Notes); // the same way again: one way only
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(column(model, PasswordListModel::Service), (QStringList{"Shop", "Mail", "Bank"}));
    click(*window, PasswordListModel::ExpiryDate);
    EXPECT_EQ(model.rowCount(), 3) << "every entry, not only the expired ones";
    EXPECT_EQ(column(model, PasswordListModel::Service).last(), "Shop");
    QTest::keyClicks(c.list, "x"); // typed text locates on the sorted column: no date, stays
    click(*window, PasswordListModel::Name); // the tab shown already
    EXPECT_EQ(model.sortColumn(), PasswordListModel::Name);
    EXPECT_EQ(column(model, PasswordListModel::Name), (QStringList{"amy", "max", "zed"}));
    click(*window, PasswordListModel::Notes);
    emit c.tabs->tabBarClicked(int(ListTab::Name)); // a click on the tab shown sorts by it again
    EXPECT_EQ(model.sortColumn(), PasswordListModel::Name);
    EXPECT_EQ(header->sortIndicatorSection(), int(PasswordListModel::Name));
    window->close();
}

TEST_F(ListColumns, MovedAndResizedColumnsComeBackWhenTheListOpensAgainAndResetPutsBackTheDesign) {
    QPointer<BrowsePasswordsWindow> window = open();
    ASSERT_TRUE(window);
    QHeaderView* header = window->controls().list->horizontalHeader();
    std::vector<int> design;
    for (int i = 0; i < header->count(); ++i) design.push_back(header->sectionSize(i));
    EXPECT_TRUE(header->sectionsMovable());
    header->moveSection(header->visualIndex(PasswordListModel::Notes), 0);
    header->resizeSection(PasswordListModel::Name, 211);
    window->close();
    settle();
    EXPECT_EQ(positions_.readSetting("BrowsePasswords", "?BrowseOrder:1"), "3,0,1,2,4,5");

    window = open();
    ASSERT_TRUE(window);
    header = window->controls().list->horizontalHeader();
    EXPECT_EQ(header->logicalIndex(0), int(PasswordListModel::Notes));
    EXPECT_EQ(header->logicalIndex(1), int(PasswordListModel::Service));
    EXPECT_EQ(header->sectionSize(PasswordListModel::Name), 211);
    QMenu* menu = window->headerMenu();
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text(), "Reset columns");
    EXPECT_EQ(menu->actions()[1]->text(), "Export list...");
    menu->actions()[0]->trigger();
    for (int i = 0; i < header->count(); ++i) {
        EXPECT_EQ(header->logicalIndex(i), i);
        EXPECT_EQ(header->sectionSize(i), design[size_t(i)]);
    }
    window->close();
    settle();
    // An order that is not one of these columns (edited by hand) keeps the design.
    positions_.writeSetting("BrowsePasswords", "?BrowseOrder:1", "3,3,1,2,4,5");
    window = open();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->controls().list->horizontalHeader()->logicalIndex(0), 0);
    window->close();
}

// The page as a browser reads it: its text (the DOM after parsing) and a picture.
struct BrowserView {
    QString text;
    QImage picture;
};

BrowserView openInBrowser(const QString& page, const QString& picture) {
    const QString browser = QStandardPaths::findExecutable("chromium");
    if (browser.isEmpty()) return {};
    QTemporaryDir profile;
    const QStringList common{"--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + profile.path(),
                             "--window-size=1000,500"};
    const QString url = QUrl::fromLocalFile(page).toString();
    auto run = [&](const QString& what) {
        auto browserRun = std::make_unique<QProcess>();
        browserRun->setStandardErrorFile(QProcess::nullDevice()); // its complaints about D-Bus
        browserRun->start(browser, common + QStringList{what, url});
        browserRun->waitForFinished(60000);
        return browserRun;
    };
    const QString text = QString::fromUtf8(run("--dump-dom")->readAllStandardOutput());
    run("--screenshot=" + picture);
    return {text, QImage(picture)};
}

// Whether a picture holds some writing: dark pixels on the white page.
int darkPixels(const QImage& picture) {
    int dark = 0;
    for (int y = 0; y < picture.height(); y += 2)
        for (int x = 0; x < picture.width(); x += 2)
            if (qGray(picture.pixel(x, y)) < 100) ++dark;
    return dark;
}

TEST_F(ListColumns, TheExportedPageShowsTheColumnsAndFoundRowsAsShownAndPasswordsOnlyWhenAsked) {
    storeEntry("amy", "<script>document.title='owned'</script>Bank", "jdoe",
               [](Record& r) { r.setText("P_:PASSWORD", u"Hunter2 & <b>bold</b>"); });
    storeEntry("amy", "Mail", "mary", [](Record& r) {
        r.setText("P_:PASSWORD", u"m41l-secret");
        r.setText("P_:NOTES", u"</td></tr></table><img src=x onerror=alert(1)>");
    });
    storeEntry("amy", "Shop", "mac", [](Record& r) { r.setText("P_:PASSWORD", u"sh0p-secret"); });
    QPointer<BrowsePasswordsWindow> window = open();
    ASSERT_TRUE(window);
    const BrowsePasswordsControls& c = window->controls();
    QHeaderView* header = c.list->horizontalHeader();
    header->moveSection(header->visualIndex(PasswordListModel::Name), 0);
    header->hideSection(PasswordListModel::Url);
    c.search->setText("m");
    c.search->setText("ma"); // Mail and Shop's "mac"
    ASSERT_EQ(window->logic().model().rowCount(), 2);
    const QString folder = QCoreApplication::applicationDirPath();
    const QString without = folder + "/password-list-export.html";
    const QString with = folder + "/password-list-export-passwords.html";
    files_.answers = {without, with};
    exportChoice_ = ListExportChoice{ListExportFormat::Html, false};
    window->headerMenu()->actions()[1]->trigger();
    exportChoice_ = ListExportChoice{ListExportFormat::Html, true};
    window->headerMenu()->actions()[1]->trigger();
    c.search->clear();
    ASSERT_TRUE(QFile::exists(without) && QFile::exists(with));

    const BrowserView plain = openInBrowser(without, folder + "/password-list-export.png");
    ASSERT_FALSE(plain.text.isEmpty()) << "no headless chromium to read the page";
    EXPECT_TRUE(plain.text.contains("<th>Name</th><th>Service</th><th>Notes</th><th>Expiry Date</th>"))
        << plain.text.toStdString();
    EXPECT_TRUE(plain.text.contains("<td>mary</td><td>Mail</td>"));
    EXPECT_TRUE(plain.text.contains("&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;img src=x onerror=alert(1)&gt;"));
    EXPECT_TRUE(plain.text.contains("<td>mac</td><td>Shop</td>"));
    EXPECT_FALSE(plain.text.contains("jdoe")) << "only the rows found";
    EXPECT_FALSE(plain.text.contains("<img"));
    for (const char* secret : {"m41l-secret", "sh0p-secret", "<th>Password", "URL"})
        EXPECT_FALSE(plain.text.contains(secret)) << secret;
    EXPECT_GT(darkPixels(plain.picture), 200) << "the screenshot shows no table";

    const BrowserView secret = openInBrowser(with, folder + "/password-list-export-passwords.png");
    EXPECT_TRUE(secret.text.contains("<th>Password</th>"));
    EXPECT_TRUE(secret.text.contains("<td>m41l-secret</td>"));
    EXPECT_TRUE(secret.text.contains("<td>sh0p-secret</td>"));
    EXPECT_GT(darkPixels(secret.picture), darkPixels(plain.picture)) << "one column more";
    window->close();
}

TEST(ListExportDialog, WritesTextWithoutPasswordsUnlessTheUserChoosesOtherwise) {
    testApp();
    ListExportDialog offered(true);
    ASSERT_NE(offered.passwordsBox(), nullptr);
    EXPECT_EQ(offered.passwordsBox()->text(), ListExportDialog::kPasswordsText);
    EXPECT_TRUE(offered.passwordsBox()->text().contains("in clear"));
    EXPECT_EQ(offered.choice().format, ListExportFormat::Text);
    EXPECT_FALSE(offered.choice().passwords);
    offered.htmlButton()->click();
    offered.passwordsBox()->click();
    EXPECT_EQ(offered.choice().format, ListExportFormat::Html);
    EXPECT_TRUE(offered.choice().passwords);
    ListExportDialog withoutPasswords(false);
    EXPECT_EQ(withoutPasswords.passwordsBox(), nullptr);
    EXPECT_FALSE(withoutPasswords.choice().passwords);
}

} // namespace

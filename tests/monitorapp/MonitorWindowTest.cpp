#include "framework/IniStore.h"
#include "platform/core/FileDialogs.h"
#include "platform/core/Prompter.h"
#include "entries/views/SearchField.h"
#include "monitorapp/views/MonitorWindow.h"
#include "monitorapp/views/SessionEnd.h"
#include "monitorapp/views/TrayArtwork.h"
#include "tests/support/TestApp.h"
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QHeaderView>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

using namespace ql;

namespace {

struct WindowRig {
    QTemporaryDir dir;
    IniStore positions;
    WindowRig() {
        testApp();
        positions.openStore(dir.filePath("QLMON.INI"));
    }
};

} // namespace

TEST(MonitorWindow, ButtonsPresetsAndSizeLimits) {
    WindowRig rig;
    MonitorWindow window(rig.positions);
    EXPECT_EQ(window.windowTitle(), "Quillock Monitor");
    for (const char* text : {"Select &User", "&Tools", "Start UR&L", "&Add", "&Edit", "&Options",
                             "&Send", "&Clipboard"})
        EXPECT_TRUE(window.button(QString::fromLatin1(text))) << text;
    auto* presets = window.findChild<QComboBox*>("preset");
    ASSERT_TRUE(presets);
    EXPECT_EQ(presets->count(), 7);
    EXPECT_EQ(window.preset(), "Preset");
    presets->setCurrentIndex(3);
    EXPECT_EQ(window.preset(), "URL");

    // 50 to 500 dialog units each way, whatever was saved.
    EXPECT_LT(window.smallest().width(), window.largest().width());
    EXPECT_EQ(window.largest().width(), 10 * window.smallest().width());
    window.resize(10000, 10000);
    EXPECT_EQ(window.size(), window.largest());
}

TEST(MonitorWindow, TheSearchFieldAboveTheListTellsEveryChangeAndEscEmptiesIt) {
    WindowRig rig;
    MonitorWindow window(rig.positions);
    QStandardItemModel entries(0, 6);
    for (const char* service : {"Café Müller", "Müller Reisen"})
        entries.appendRow({new QStandardItem, new QStandardItem(QString::fromUtf8(service))});
    window.setEntries(&entries);
    SearchField* search = window.search();
    ASSERT_TRUE(search);
    QSignalSpy typed(search, &QLineEdit::textChanged);
    window.show();
    EXPECT_LT(search->geometry().top(), window.list()->geometry().top());
    search->setFocus();
    QTest::keyClicks(search, "muller");
    EXPECT_EQ(typed.count(), 6);
    window.grab().save(QStringLiteral("monitor-list-search.png"));
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(typed.count(), 7);
    QSignalSpy toList(search, &SearchField::toList);
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_EQ(toList.count(), 1);
}

TEST(MonitorWindow, StayOnTopKeepsAShownWindowShownAndClosingSavesThePlaceOnce) {
    WindowRig rig;
    auto window = std::make_unique<MonitorWindow>(rig.positions);
    QSignalSpy closing(window.get(), &MonitorWindow::closing);
    window->showRestored();
    window->move(40, 60);
    window->makeStayOnTop();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    window->showMinimized(); // minimized by the user, then hidden in the tray
    window->hideInTray();
    EXPECT_FALSE(window->isVisible());
    window->closeWindow(); // from the tray menu: the window is hidden
    window->close();
    EXPECT_EQ(closing.count(), 1);
    EXPECT_EQ(rig.positions.readSetting("Main", "Maximize"), "No");
    EXPECT_FALSE(rig.positions.readSetting("Main", "XPos").isEmpty());

    // The next run opens where this one was.
    MonitorWindow again(rig.positions);
    EXPECT_EQ(again.size(), window->size());
}

TEST(MonitorWindow, TheListsColumnWidthsComeBackAndNonsenseIsIgnored) {
    WindowRig rig;
    QStandardItemModel entries(3, 6);
    const auto widths = [](MonitorWindow& w) {
        QList<int> out;
        for (int i = 0; i < 6; ++i) out << w.list()->horizontalHeader()->sectionSize(i);
        return out;
    };
    QList<int> designed;
    {
        MonitorWindow window(rig.positions);
        window.setEntries(&entries);
        designed = widths(window);
        window.list()->horizontalHeader()->resizeSection(1, 131);
        window.list()->horizontalHeader()->resizeSection(4, 77);
        window.close();
    }
    {
        MonitorWindow again(rig.positions);
        again.setEntries(&entries);
        EXPECT_EQ(again.list()->horizontalHeader()->sectionSize(1), 131);
        EXPECT_EQ(again.list()->horizontalHeader()->sectionSize(4), 77);
    }
    for (const char* stored : {"24,95,x,80,194,56", "24,95,96", "24,95,96,80,194,99999", ""}) {
        rig.positions.writeSetting("Main", MonitorWindow::kColumnsKey, QString::fromLatin1(stored));
        MonitorWindow edited(rig.positions);
        edited.setEntries(&entries);
        EXPECT_EQ(widths(edited), designed) << stored;
    }
}

TEST(MonitorWindow, MovedColumnsComeBackResetPutsBackTheDesignAndTheExportHasNoMarkColumn) {
    WindowRig rig;
    QStandardItemModel entries(2, 6);
    entries.setHorizontalHeaderLabels({"", "Service", "Name", "URL", "Notes", "Expiry Date"});
    for (int c = 1; c < 6; ++c) entries.setItem(1, c, new QStandardItem(QStringLiteral("r1c%1").arg(c)));
    {
        MonitorWindow window(rig.positions);
        window.setEntries(&entries);
        QHeaderView* header = window.list()->horizontalHeader();
        header->moveSection(header->visualIndex(4), 1);
        window.close();
    }
    MonitorWindow again(rig.positions);
    again.setEntries(&entries);
    QHeaderView* header = again.list()->horizontalHeader();
    EXPECT_EQ(header->logicalIndex(1), 4) << "the notes moved next to the mark";
    ScriptedFileDialogs files;
    ScriptedPrompter prompter;
    files.answers = {rig.dir.filePath("list.txt")};
    again.exportHooks.files = &files;
    again.exportHooks.prompter = &prompter;
    again.exportHooks.ask = [](bool offerPasswords, QWidget*) {
        EXPECT_FALSE(offerPasswords) << "the monitor's list holds no passwords to write";
        return std::optional<ListExportChoice>(ListExportChoice{});
    };
    QMenu* menu = again.headerMenu();
    ASSERT_EQ(menu->actions().size(), 2);
    menu->actions()[1]->trigger();
    QFile written(rig.dir.filePath("list.txt"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "Notes\tService\tName\tURL\tExpiry Date\n\t\t\t\t\nr1c4\tr1c1\tr1c2\tr1c3\tr1c5\n");
    menu->actions()[0]->trigger();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(header->logicalIndex(i), i);
}

TEST(MonitorWindow, EveryPictureOfTheTrayIsDrawn) {
    testApp();
    QImage plain = TrayArtwork::image("ADS_ICO");
    ASSERT_EQ(plain.size(), QSize(TrayArtwork::kSize, TrayArtwork::kSize));
    QSet<QByteArray> seen;
    for (const char* name : {"ADS_ICO", "RED_ICO", "bar1_ico", "bar3_ico", "bar5_ico",
                                "rbar1_ico", "rbar5_ico"}) {
        const QImage image = TrayArtwork::image(name);
        seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    EXPECT_EQ(seen.size(), 7) << "each picture differs from the others";
    EXPECT_EQ(TrayArtwork::image("~RED.ico"), TrayArtwork::image("RED_ICO"));
}

TEST(SessionEnd, ATerminateRequestArrivesOnTheEventLoop) {
    testApp();
    SessionEnd sessionEnd;
    QSignalSpy requested(&sessionEnd, &SessionEnd::requested);
    std::raise(SIGTERM);
    EXPECT_TRUE(requested.wait(2000));
}

// The password list's speed on a folder filled by populate_list (100,000 entries
// of "Big Owner", 1,000 of "Small Owner"), inside a private X session with a
// window manager (bench/list/run.sh). Times run from the request to the first
// painting of the list's rows after it; each is the median of rounds.
//  list.open_ms         opening the list of 100,000 entries
//  list.open_small_ms   opening the list of 1,000 entries
//  list.open_ratio      100,000 over 1,000: median of the ratios of interleaved rounds
//  list.tab_switch_ms   the "Name" tab after the "Service" tab, 100,000 entries
//  list.locate_ms       typing three letters that land inside the list
//  list.end_ms          Ctrl+End, then Ctrl+Home between rounds
//  list.jump_ms         a page down after a jump by the scroll bar to a far position
//  list.search_ms       the third letter typed into the search field (each letter
//                       painted before the next), once the search index is built
//  list.search_ratio    the same, 100,000 over 1,000: median of the ratios of interleaved rounds
//  list.sort_key_ms     a click on the "Expiry Date" heading: every entry by that key
//  list.sort_notes_ms   a click on the "Notes" heading, the search index built
//  list.sort_notes_cold_ms  the same just after another order, the index read at once
#include "entries/views/BrowsePasswordsWindow.h"
#include "entries/views/PasswordListView.h"
#include "entries/views/SearchField.h"
#include "framework/IniStore.h"
#include "platform/core/SystemClock.h"
#include "platform/qt/QtClipboard.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace ql;

namespace {

constexpr int kWarmUp = 3;
constexpr int kRounds = 15;
constexpr int kSortRounds = 5;
const QString kBig = QStringLiteral("Big Owner");
const QString kSmall = QStringLiteral("Small Owner");

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Notes when a widget paints.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return false;
    }
};

class Bench {
public:
    explicit Bench(const QString& folder)
        : services_(ProgramKind::Main, {"bench", "Data=" + folder}, prompter_, [](const QString&) {}) {
        positions_.openStore(positionsDir_.filePath("POSITION.INI"));
    }

    void measureOpen() {
        std::vector<double> big, small, ratios;
        for (int round = 0; round < kWarmUp + kRounds; ++round) {
            const double b = openAndClose(kBig);
            const double s = openAndClose(kSmall);
            if (round < kWarmUp) continue;
            big.push_back(b);
            small.push_back(s);
            ratios.push_back(b / s);
        }
        std::printf("list.open_ms %.2f ms\n", median(big));
        std::printf("list.open_small_ms %.2f ms\n", median(small));
        std::printf("list.open_ratio %.2f ratio\n", median(ratios));
    }

    // Tab switch, locate, end and jump on one open list of 100,000 entries.
    void measureMoves() {
        QPointer<BrowsePasswordsWindow> window = open(kBig);
        if (!window) return;
        settle(*window);
        PasswordListView* list = window->controls().list;
        QTabBar* tabs = window->controls().tabs;
        std::vector<double> tab, locate, end, jump;
        const QStringList prefixes{"mqz", "dka", "tre", "bol", "xin", "gap", "som", "kel"};
        for (int round = 0; round < kWarmUp + kRounds; ++round) {
            const double t = untilPainted(list, [&] { tabs->setCurrentIndex(int(ListTab::Name)); });
            tabs->setCurrentIndex(int(ListTab::Service));
            settle(*window);
            const QString prefix = prefixes[round % prefixes.size()];
            const double l = untilPainted(list, [&] {
                for (QChar c : prefix) key(list, Qt::Key(c.toUpper().unicode()), Qt::NoModifier, c);
            });
            const double e = untilPainted(list, [&] { key(list, Qt::Key_End, Qt::ControlModifier); });
            key(list, Qt::Key_Home, Qt::ControlModifier);
            const double j = untilPainted(list, [&] {
                list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum() * (round + 3) / 23);
                key(list, Qt::Key_PageDown, Qt::NoModifier);
            });
            if (round < kWarmUp) continue;
            tab.push_back(t);
            locate.push_back(l);
            end.push_back(e);
            jump.push_back(j);
        }
        std::printf("list.tab_switch_ms %.2f ms\n", median(tab));
        std::printf("list.locate_ms %.2f ms\n", median(locate));
        std::printf("list.end_ms %.2f ms\n", median(end));
        std::printf("list.jump_ms %.2f ms\n", median(jump));
        window->close();
    }

    // Three letters typed into the search field of each list in turn, the
    // field emptied between rounds; the time of the third.
    void measureSearch() {
        QPointer<BrowsePasswordsWindow> big = open(kBig), small = open(kSmall);
        if (!big || !small) return;
        settleIndex(*big);
        settleIndex(*small);
        const QStringList words{"mqz", "dka", "tre", "bol", "xin", "gap", "som", "kel", "uwe"};
        std::vector<double> times, ratios;
        for (int round = 0; round < kWarmUp + kRounds; ++round) {
            const QString word = words[round % words.size()];
            const double b = typeSearch(*big, word);
            const double s = typeSearch(*small, word);
            if (round < kWarmUp) continue;
            times.push_back(b);
            ratios.push_back(b / s);
        }
        std::printf("list.search_ms %.2f ms\n", median(times));
        std::printf("list.search_ratio %.2f ratio\n", median(ratios));
        big->close();
        small->close();
    }

    // Clicks on the headings of the list of 100,000 entries.
    void measureSort() {
        QPointer<BrowsePasswordsWindow> window = open(kBig);
        if (!window) return;
        QHeaderView* header = window->controls().list->horizontalHeader();
        PasswordListView* list = window->controls().list;
        auto click = [&](int column) { return untilPainted(list, [&] { emit header->sectionClicked(column); }); };
        std::vector<double> notes, byKey, cold;
        for (int round = 0; round < 1 + kSortRounds; ++round) {
            settleIndex(*window);
            const double n = click(PasswordListModel::Notes);
            const double k = click(PasswordListModel::ExpiryDate);
            const double c = click(PasswordListModel::Notes);
            click(PasswordListModel::Service);
            if (round == 0) continue;
            notes.push_back(n);
            byKey.push_back(k);
            cold.push_back(c);
        }
        std::printf("list.sort_key_ms %.2f ms\n", median(byKey));
        std::printf("list.sort_notes_ms %.2f ms\n", median(notes));
        std::printf("list.sort_notes_cold_ms %.2f ms\n", median(cold));
        window->close();
    }

private:
    double typeSearch(BrowsePasswordsWindow& window, const QString& word) {
        SearchField* field = window.controls().search;
        field->clear();
        pause(20);
        auto type = [&](QChar c) { key(field, Qt::Key(c.toUpper().unicode()), Qt::NoModifier, c); };
        untilPainted(window.controls().list, [&] { type(word[0]); });
        untilPainted(window.controls().list, [&] { type(word[1]); });
        const double elapsed = untilPainted(window.controls().list, [&] { type(word[2]); });
        field->clear();
        return elapsed;
    }

    static void settleIndex(BrowsePasswordsWindow& window) {
        settle(window);
        while (!window.logic().model().indexComplete())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pause(30);
    }

    BrowseServices browseServices() {
        RecordManagers& m = services_.managers();
        return {clock_, prompter_, clipboard_, launcher_, m.passwords, m.users, nullptr, nullptr,
                {}, {}, false};
    }

    BrowsePasswordsWindow* open(const QString& user) {
        BrowseWindowTools tools{positions_, {}, {}};
        auto choose = [this, user](Record& chosen, QWidget*) {
            DataTable users(usersTable());
            services_.managers().users.open(users);
            users.record().setText("U_:NAME", user);
            if (users.fetch(usersTable().keyIndex("U_:KEYNAME")) != 0) return 2;
            chosen = users.record();
            return 1;
        };
        return BrowsePasswordsWindow::open(browseServices(), tools, choose);
    }

    // From the request until the rows are painted.
    double openAndClose(const QString& user) {
        QElapsedTimer timer;
        timer.start();
        QPointer<BrowsePasswordsWindow> window = open(user);
        if (!window) return -1;
        PaintWatch watch;
        window->controls().list->viewport()->installEventFilter(&watch);
        while (!watch.painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        const double elapsed = double(timer.nsecsElapsed()) / 1e6;
        window->controls().list->viewport()->removeEventFilter(&watch);
        window->close();
        while (window) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pause(30);
        return elapsed;
    }

    static double untilPainted(PasswordListView* list, const std::function<void()>& act) {
        PaintWatch watch;
        list->viewport()->installEventFilter(&watch);
        QElapsedTimer timer;
        timer.start();
        act();
        while (!watch.painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        const double elapsed = double(timer.nsecsElapsed()) / 1e6;
        list->viewport()->removeEventFilter(&watch);
        pause(20);
        return elapsed;
    }

    static void key(QWidget* to, Qt::Key k, Qt::KeyboardModifiers mods, QChar text = {}) {
        const QString t = text.isNull() ? QString() : QString(text);
        QKeyEvent press(QEvent::KeyPress, k, mods, t);
        QKeyEvent release(QEvent::KeyRelease, k, mods, t);
        QCoreApplication::sendEvent(to, &press);
        QCoreApplication::sendEvent(to, &release);
    }

    // Lets the counting and the noting of places finish, as they do while the user reads.
    static void settle(BrowsePasswordsWindow& window) {
        while (!window.logic().model().counted() || !window.logic().model().marksComplete())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pause(30);
    }

    static void pause(int ms) {
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    QTemporaryDir positionsDir_;
    ScriptedPrompter prompter_;
    ProgramServices services_;
    IniStore positions_;
    SystemClock clock_;
    QtClipboard clipboard_;
    FakeLauncher launcher_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_list FOLDER\n");
        return 2;
    }
    Bench bench(QString::fromLocal8Bit(argv[1]));
    bench.measureOpen();
    bench.measureMoves();
    bench.measureSearch();
    bench.measureSort();
    return 0;
}

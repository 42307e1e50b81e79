// The entry form's speed, inside a private X session (bench/entries/run.sh).
//  entries.form_open_ms     the form on a change request, from the call until its window is
//                           shown (exposed), with 50 windows of another program on the
//                           desktop and 8 stored send texts (median of rounds)
//  entries.dialog_open_ms   floor: a dialog holding one label, shown the same way
//  entries.form_open_ratio  form over floor: median of the ratios of interleaved rounds
//  entries.ok_ms            OK on a new entry in a table of 100,000 entries until the entry
//                           is stored (median)
//  entries.store_insert_ms  floor: one committed insert of such an entry straight through
//                           the table
//  entries.ok_ratio         OK over floor: median of the ratios of interleaved rounds
#include "entries/SendTextList.h"
#include "entries/UpdatePasswords.h"
#include "entries/views/UpdatePasswordsDialog.h"
#include "framework/IniStore.h"
#include "platform/core/SystemClock.h"
#include "platform/qt/QtClipboard.h"
#include "platform/desktop/DesktopBackends.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include "tests/monitor/support/TestWindows.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <string>

using namespace ql;

namespace {

constexpr int kEntries = 100000;
constexpr int kWindows = 50;
constexpr int kWarmUp = 3;
constexpr int kRounds = 15;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double millis(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

// Shows a dialog and waits until the window system has exposed it.
void showAndWait(QDialog& dialog) {
    dialog.show();
    while (!dialog.windowHandle() || !dialog.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
}

void closeAndSettle(QDialog& dialog) {
    dialog.reject();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 30) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

class Bench {
public:
    Bench()
        : services_(ProgramKind::Main, {"bench", "Data=" + dir_.path()}, prompter_,
                    [](const QString&) {}) {
        positions_.openStore(dir_.filePath("POSITION.INI"));
        user_.setText("U_:NAME", u"user0");
    }

    bool prepare() {
        return addUser() && fillEntries() && seedSendTexts() && openWindows() &&
               managers().passwords.open(passwords_) == store_error::NoError;
    }

    void measureOpen() {
        std::vector<double> form, floor, ratios;
        for (int round = 0; round < kWarmUp + kRounds; ++round) {
            const double f = openForm();
            const double d = openPlainDialog();
            if (round < kWarmUp) continue;
            form.push_back(f);
            floor.push_back(d);
            ratios.push_back(f / d);
        }
        std::printf("entries.form_open_ms %.2f ms\n", median(form));
        std::printf("entries.dialog_open_ms %.2f ms\n", median(floor));
        std::printf("entries.form_open_ratio %.2f ratio\n", median(ratios));
    }

    void measureOk() {
        std::vector<double> ok, floor, ratios;
        for (int round = 0; round < kWarmUp + kRounds; ++round) {
            const double o = pressOk(round);
            const double s = insertDirectly(round);
            if (round < kWarmUp) continue;
            ok.push_back(o);
            floor.push_back(s);
            ratios.push_back(o / s);
        }
        std::printf("entries.ok_ms %.2f ms\n", median(ok));
        std::printf("entries.store_insert_ms %.2f ms\n", median(floor));
        std::printf("entries.ok_ratio %.2f ratio\n", median(ratios));
    }

private:
    RecordManagers& managers() { return services_.managers(); }

    EntryFormServices formServices() {
        return {clock_, prompter_, clipboard_, windows_, files_, launcher_, settings_,
                managers().passwords, managers().users, managers().scriptPaste, {}, {}};
    }

    bool addUser() {
        DataTable users(usersTable());
        if (managers().users.open(users) != store_error::NoError) return false;
        users.record().setText("U_:NAME", u"user0");
        return users.add() == store_error::NoError;
    }

    bool fillEntries() {
        DataTable table(passwordsTable());
        if (managers().passwords.open(table) != store_error::NoError) return false;
        table.stream();
        for (int i = 0; i < kEntries; ++i) {
            fillEntry(table.record(), QStringLiteral("service %1").arg(i), i);
            if (table.add() != store_error::NoError) return false;
        }
        return table.flush() == store_error::NoError;
    }

    static void fillEntry(Record& r, const QString& service, int i) {
        r.clear();
        r.setText("P_:USER", u"user0");
        r.setText("P_:SERVICE", service);
        r.setText("P_:NAME", QStringLiteral("login%1").arg(i));
        r.setText("P_:URL", QStringLiteral("https://example.test/%1").arg(i));
        r.setText("P_:PASSWORD", u"x1");
        r.setText("P_:CONFIRMPASSWORD", u"x1");
        r.setText("P_:PASTE", u"[Name][Tab][Password][Enter]");
        r.setNumber("P_:LEVEL", 10000);
    }

    bool seedSendTexts() {
        SendTextList texts(managers().scriptPaste);
        if (!texts.open()) return false;
        texts.seedDefaults();
        return texts.load().size() == 8;
    }

    bool openWindows() {
        if (!desktop_.ok() || !windows_.available()) return false;
        std::vector<uint32_t> made;
        for (int i = 0; i < kWindows; ++i)
            made.push_back(desktop_.create("Bench Window " + std::to_string(i)));
        for (uint32_t w : made)
            if (!desktop_.waitMapped(w)) return false;
        return windows_.topWindows().size() >= size_t(kWindows);
    }

    double openForm() {
        passwords_.getByRecordNumber(kEntries / 2);
        QElapsedTimer timer;
        timer.start();
        UpdatePasswords logic(formServices(), EntryFormVariant::MainProgram, form_request::Change,
                              passwords_, user_);
        logic.open();
        UpdatePasswordsDialog dialog(logic, EntryFormVariant::MainProgram,
                                     {positions_, clock_, prompter_, {}});
        showAndWait(dialog);
        const double elapsed = millis(timer);
        closeAndSettle(dialog);
        return elapsed;
    }

    double openPlainDialog() {
        QElapsedTimer timer;
        timer.start();
        QDialog dialog;
        new QLabel(QStringLiteral("Floor"), &dialog);
        showAndWait(dialog);
        const double elapsed = millis(timer);
        closeAndSettle(dialog);
        return elapsed;
    }

    double pressOk(int round) {
        managers().passwords.primeRecord(passwords_.record());
        UpdatePasswords logic(formServices(), EntryFormVariant::MainProgram, form_request::Insert,
                              passwords_, user_);
        logic.open();
        fillEntry(logic.entry(), QStringLiteral("new by form %1").arg(round), round);
        logic.setWaitText(QStringLiteral("2"));
        QElapsedTimer timer;
        timer.start();
        const EntryControl result = logic.ok();
        const double elapsed = millis(timer);
        if (result != EntryControl::None) std::fprintf(stderr, "OK refused the entry\n");
        return elapsed;
    }

    double insertDirectly(int round) {
        fillEntry(passwords_.record(), QStringLiteral("new by table %1").arg(round), round);
        QElapsedTimer timer;
        timer.start();
        const int code = passwords_.add();
        const double elapsed = millis(timer);
        if (code != store_error::NoError) std::fprintf(stderr, "insert failed: %d\n", code);
        return elapsed;
    }

    QTemporaryDir dir_;
    ScriptedPrompter prompter_;
    ProgramServices services_;
    IniStore positions_;
    SystemClock clock_;
    QtClipboard clipboard_;
    DesktopBackends backends_ = openDesktop({});
    WindowSystem& windows_ = *backends_.windows;
    testing::TestWindows desktop_;
    ScriptedFileDialogs files_;
    FakeLauncher launcher_;
    MemorySettings settings_;
    Record user_{usersTable()};
    DataTable passwords_{passwordsTable()};
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Bench bench;
    if (!bench.prepare()) {
        std::fprintf(stderr, "could not prepare the data folder or the windows\n");
        return 1;
    }
    bench.measureOpen();
    bench.measureOk();
    return 0;
}

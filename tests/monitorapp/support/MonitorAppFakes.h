#pragma once
#include "monitorapp/MonitorSurfaces.h"
#include <QStringList>
#include <deque>

namespace ql::testing {

// A notification area that can be there or not; records what was asked of it.
class FakeTrayHost : public TrayHost {
public:
    bool trayThere = true;
    bool shown = false;
    QString picture;
    QStringList pictures; // every picture shown, in order
    int adds = 0;

    bool addIcon(const QString& p, const QString& tip) override {
        ++adds;
        lastTip = tip;
        if (!trayThere) return false;
        shown = true;
        show(p);
        return true;
    }
    bool removeIcon() override {
        shown = false;
        return true;
    }
    void changeIcon(const QString& p) override { show(p); }
    bool available() const override { return trayThere; }
    QString lastTip;

private:
    void show(const QString& p) {
        picture = p;
        pictures << p;
    }
};

// The monitor window as its logic sees it; `log` keeps the calls in order.
class FakeMonitorWindow : public MonitorWindowSurface {
public:
    enum class Look { NeverShown, Hidden, Minimized, Shown };
    Look look = Look::NeverShown;
    bool stayOnTop = false;
    bool closed = false;
    QString icon;
    QString listedUser;
    QStringList log;

    void hideInTray() override { note("hide", Look::Hidden); }
    void minimizeOnTaskBar() override { note("minimize", Look::Minimized); }
    void showRestored() override { note(stayOnTop ? "show on top" : "show", Look::Shown); }
    void takeFocus() override { log << "focus"; }
    QStringList told;
    void tellNoTray(const QString& why) override { told << why; }
    void makeStayOnTop() override { stayOnTop = true; }
    void setWindowIcon(const QString& picture) override { icon = picture; }
    void showUserEntries(const QString& userName) override { listedUser = userName; }
    void closeWindow() override {
        closed = true;
        log << "close";
    }

private:
    void note(const char* what, Look now) {
        log << QString::fromLatin1(what);
        look = now;
    }
};

// Dialogs answered from a script: each user choice takes the next answer
// (a cancel when none is left).
class FakeMonitorDialogs : public MonitorDialogs {
public:
    std::deque<MonitorUserChoice> choices;
    int asked = 0;
    int optionsOpened = 0;
    int aboutOpened = 0;
    std::function<void()> duringOptions;
    // Written into the shared log when a user choice is asked for.
    QStringList* log = nullptr;

    MonitorUserChoice chooseUser() override {
        ++asked;
        if (log) *log << "choose user";
        if (choices.empty()) return {false, QStringLiteral("No User Selected")};
        MonitorUserChoice next = choices.front();
        choices.pop_front();
        return next;
    }
    bool options() override {
        ++optionsOpened;
        if (duringOptions) duringOptions();
        return true;
    }
    void about() override { ++aboutOpened; }
};

} // namespace ql::testing

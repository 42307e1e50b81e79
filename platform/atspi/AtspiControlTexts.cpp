#include "platform/atspi/AtspiControlTexts.h"
#include "platform/atspi/AtspiNodes.h"
#include <atspi/atspi.h>
#include <unistd.h>

namespace ql {

namespace {

using namespace atspi_nodes;

constexpr int kMaxDepth = 16;
constexpr int kMaxControls = 4000;
constexpr int kTextLimit = 253;
constexpr int kCallTimeoutMs = 1500;

QString roleOf(AtspiAccessible* node) {
    GError* error = nullptr;
    QString role = take(atspi_accessible_get_role_name(node, &error));
    g_clear_error(&error);
    return role;
}

QString textOf(AtspiAccessible* node) {
    AtspiText* text = atspi_accessible_get_text_iface(node);
    if (!text) return {};
    GError* error = nullptr;
    gint count = atspi_text_get_character_count(text, &error);
    g_clear_error(&error);
    QString content;
    if (count > 0) content = take(atspi_text_get_text(text, 0, std::min(count, kTextLimit), &error));
    g_clear_error(&error);
    g_object_unref(text);
    return content;
}

} // namespace

AtspiControlTexts::AtspiControlTexts() {
    // No session bus means no accessibility bus: stay quietly without texts.
    if (!qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS") &&
        !qEnvironmentVariableIsSet("AT_SPI_BUS_ADDRESS"))
        return;
    int status = atspi_init();
    ready_ = status == 0 || status == 1;
    if (ready_) atspi_set_timeout(kCallTimeoutMs, kCallTimeoutMs);
}

AtspiControlTexts::~AtspiControlTexts() {
    for (auto& [pid, app] : applications_) g_object_unref(app);
}

void AtspiControlTexts::forget(uint32_t pid) {
    auto it = applications_.find(pid);
    if (it == applications_.end()) return;
    g_object_unref(it->second);
    applications_.erase(it);
}

AtspiAccessible* AtspiControlTexts::searchDesktop(uint32_t pid) {
    AtspiAccessible* desktop = atspi_get_desktop(0);
    if (!desktop) return nullptr;
    atspi_accessible_clear_cache(desktop); // applications come and go
    AtspiAccessible* found = nullptr;
    for (int i = childCount(desktop) - 1; i >= 0 && !found; --i) {
        AtspiAccessible* app = childAt(desktop, i);
        if (!app) continue;
        GError* error = nullptr;
        guint appPid = atspi_accessible_get_process_id(app, &error);
        if (!error && appPid == pid) found = app;
        else g_object_unref(app);
        g_clear_error(&error);
    }
    g_object_unref(desktop);
    return found;
}

AtspiAccessible* AtspiControlTexts::applicationOf(uint32_t pid) {
    auto it = applications_.find(pid);
    if (it != applications_.end()) {
        GError* error = nullptr;
        guint still = atspi_accessible_get_process_id(it->second, &error);
        bool alive = !error && still == pid;
        g_clear_error(&error);
        if (alive) return it->second;
        forget(pid); // the process ended, or its id now belongs to another
    }
    AtspiAccessible* app = searchDesktop(pid);
    if (app) applications_[pid] = app;
    return app;
}

AtspiAccessible* AtspiControlTexts::windowTitled(AtspiAccessible* application,
                                                 const QString& title) {
    const QString wanted = title.trimmed();
    for (int i = 0; i < childCount(application); ++i) {
        AtspiAccessible* window = childAt(application, i);
        if (!window) continue;
        if (nameOf(window).trimmed() == wanted) return window;
        g_object_unref(window);
    }
    return nullptr;
}

void AtspiControlTexts::collect(AtspiAccessible* node, std::vector<ChildWindow>& out, int depth,
                                int& budget) {
    if (depth > kMaxDepth) return;
    for (int i = 0; i < childCount(node) && budget > 0; ++i) {
        AtspiAccessible* child = childAt(node, i);
        if (!child) continue;
        --budget;
        const QString role = roleOf(child);
        const QString name = nameOf(child);
        const QString text = textOf(child);
        out.push_back({role, name.isEmpty() ? text : name, 0});
        if (!name.isEmpty() && !text.isEmpty() && text != name) out.push_back({role, text, 0});
        collect(child, out, depth + 1, budget);
        g_object_unref(child);
    }
}

std::vector<ChildWindow> AtspiControlTexts::controls(uint32_t pid, const QString& title) {
    // Asking our own process over the bus would wait on ourselves.
    if (!ready_ || pid == 0 || pid == uint32_t(getpid())) return {};
    AtspiAccessible* app = applicationOf(pid);
    if (!app) return {};
    atspi_accessible_clear_cache(app); // the window's controls change as it runs
    AtspiAccessible* window = windowTitled(app, title);
    if (!window) return {};
    std::vector<ChildWindow> out;
    int budget = kMaxControls;
    collect(window, out, 0, budget);
    g_object_unref(window);
    for (ChildWindow& c : out)
        if (c.text.isEmpty()) c.text = QStringLiteral("<>");
    return out;
}

uint32_t AtspiControlTexts::processShowing(const QString& title) {
    AtspiAccessible* desktop = atspi_get_desktop(0);
    if (!desktop) return 0;
    atspi_accessible_clear_cache(desktop);
    uint32_t found = 0;
    for (int i = childCount(desktop) - 1; i >= 0 && !found; --i) {
        AtspiAccessible* app = childAt(desktop, i);
        if (!app) continue;
        GError* error = nullptr;
        const guint pid = atspi_accessible_get_process_id(app, &error);
        if (!error && pid != guint(getpid())) {
            if (AtspiAccessible* window = windowTitled(app, title)) {
                found = pid;
                g_object_unref(window);
            }
        }
        g_clear_error(&error);
        g_object_unref(app);
    }
    g_object_unref(desktop);
    return found;
}

std::vector<ChildWindow> AtspiControlTexts::controlsOfTitled(const QString& title) {
    if (!ready_) return {};
    if (auto known = titledBy_.find(title); known != titledBy_.end()) {
        std::vector<ChildWindow> out = controls(known->second, title);
        if (!out.empty()) return out;
        titledBy_.erase(known); // closed, or the title moved to another program
    }
    const uint32_t pid = processShowing(title);
    if (!pid) return {};
    if (titledBy_.size() >= 64) titledBy_.clear(); // titles of windows long gone
    titledBy_[title] = pid;
    return controls(pid, title);
}

} // namespace ql

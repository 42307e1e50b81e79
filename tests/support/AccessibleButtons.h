#pragma once
// Presses a push button of another program's window through the accessibility
// bus, as assistive tools do: for end-to-end tests on desktops where no
// input tool reaches other programs' windows.
#include <QString>
#include <atspi/atspi.h>

namespace ql::testing {

namespace atspi_detail {

inline QString nameOf(AtspiAccessible* node) {
    gchar* name = atspi_accessible_get_name(node, nullptr);
    QString out = name ? QString::fromUtf8(name) : QString();
    g_free(name);
    return out;
}

// The first push button below `node` whose name without "&" is `name` (a new reference).
inline AtspiAccessible* findButton(AtspiAccessible* node, const QString& name, int depth) {
    if (depth > 16) return nullptr;
    const int count = atspi_accessible_get_child_count(node, nullptr);
    for (int i = 0; i < count; ++i) {
        AtspiAccessible* child = atspi_accessible_get_child_at_index(node, i, nullptr);
        if (!child) continue;
        if (atspi_accessible_get_role(child, nullptr) == ATSPI_ROLE_PUSH_BUTTON &&
            nameOf(child).remove(u'&') == name)
            return child;
        AtspiAccessible* found = findButton(child, name, depth + 1);
        g_object_unref(child);
        if (found) return found;
    }
    return nullptr;
}

} // namespace atspi_detail

// Presses the button named `button` in the window titled `window` of process
// `pid`; false when there is no such button.
inline bool pressAccessibleButton(qint64 pid, const QString& window, const QString& button) {
    if (atspi_init() > 1) return false;
    atspi_set_timeout(1500, 1500); // a program that stopped answering holds nobody up
    AtspiAccessible* desktop = atspi_get_desktop(0);
    bool pressed = false;
    for (int i = 0; desktop && !pressed && i < atspi_accessible_get_child_count(desktop, nullptr); ++i) {
        AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
        if (!app) continue;
        if (qint64(atspi_accessible_get_process_id(app, nullptr)) == pid) {
            for (int w = 0; !pressed && w < atspi_accessible_get_child_count(app, nullptr); ++w) {
                AtspiAccessible* top = atspi_accessible_get_child_at_index(app, w, nullptr);
                if (!top) continue;
                if (atspi_detail::nameOf(top) == window) {
                    if (AtspiAccessible* b = atspi_detail::findButton(top, button, 0)) {
                        AtspiAction* action = atspi_accessible_get_action_iface(b);
                        pressed = action && atspi_action_do_action(action, 0, nullptr);
                        if (action) g_object_unref(action);
                        g_object_unref(b);
                    }
                }
                g_object_unref(top);
            }
        }
        g_object_unref(app);
    }
    if (desktop) g_object_unref(desktop);
    return pressed;
}

} // namespace ql::testing

#pragma once
// The desktop portal's permission dialog for a remote-desktop session (GNOME),
// answered through the accessibility bus as a user would: for end-to-end
// tests and benchmarks under a headless compositor.
#include <QString>
#include <QTimer>
#include <atspi/atspi.h>

namespace ql::portal_test {

inline const QString kPortalDialog = QStringLiteral("Remote desktop");

inline QString nameOf(AtspiAccessible* node) {
    gchar* name = atspi_accessible_get_name(node, nullptr);
    QString out = name ? QString::fromUtf8(name) : QString();
    g_free(name);
    return out;
}

// GTK 4 names a button with its mnemonic first ("_Share Share").
inline bool labelled(AtspiAccessible* node, const QString& label) {
    const QString name = nameOf(node);
    return name == label || name.endsWith(u' ' + label);
}

// The first control below `node` of `role` labelled `label` (a new reference).
inline AtspiAccessible* findControl(AtspiAccessible* node, AtspiRole role, const QString& label, int depth = 0) {
    if (depth > 20) return nullptr;
    for (int i = 0; i < atspi_accessible_get_child_count(node, nullptr); ++i) {
        AtspiAccessible* child = atspi_accessible_get_child_at_index(node, i, nullptr);
        if (!child) continue;
        if (atspi_accessible_get_role(child, nullptr) == role && labelled(child, label)) return child;
        AtspiAccessible* found = findControl(child, role, label, depth + 1);
        g_object_unref(child);
        if (found) return found;
    }
    return nullptr;
}

inline bool act(AtspiAccessible* node) {
    AtspiAction* action = node ? atspi_accessible_get_action_iface(node) : nullptr;
    const bool done = action && atspi_action_do_action(action, 0, nullptr);
    if (action) g_object_unref(action);
    return done;
}

inline bool checked(AtspiAccessible* node) {
    AtspiStateSet* states = atspi_accessible_get_state_set(node);
    const bool on = atspi_state_set_contains(states, ATSPI_STATE_CHECKED);
    g_object_unref(states);
    return on;
}

// The portal's permission dialog, answered as the user would: ticking "Allow
// remote interaction" and pressing Share, or pressing Cancel. Polled from the
// event loop, which runs while the send waits for the answer.
class PermissionAnswer {
public:
    explicit PermissionAnswer(bool allow) : allow_(allow) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { tryAnswer(); });
        timer_.start(200);
    }
    bool answered() const { return answered_; }
    int dialogsSeen() const { return seen_; }

private:
    QTimer timer_;
    bool allow_;
    bool answered_ = false;
    int seen_ = 0;

    void tryAnswer() {
        AtspiAccessible* dialog = findDialog();
        if (!dialog) return;
        ++seen_;
        if (allow_) {
            AtspiAccessible* box = findControl(dialog, ATSPI_ROLE_CHECK_BOX, "Allow remote interaction");
            if (box && !checked(box)) act(box);
            if (box) g_object_unref(box);
        }
        AtspiAccessible* button = findControl(dialog, ATSPI_ROLE_PUSH_BUTTON, allow_ ? "Share" : "Cancel");
        answered_ = act(button) || answered_;
        if (answered_) timer_.stop();
        if (button) g_object_unref(button);
        g_object_unref(dialog);
    }
    static AtspiAccessible* findDialog() {
        AtspiAccessible* desktop = atspi_get_desktop(0);
        AtspiAccessible* found = nullptr;
        for (int i = 0; !found && i < atspi_accessible_get_child_count(desktop, nullptr); ++i) {
            AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
            if (!app) continue;
            atspi_accessible_clear_cache(app);
            for (int w = 0; !found && w < atspi_accessible_get_child_count(app, nullptr); ++w) {
                AtspiAccessible* top = atspi_accessible_get_child_at_index(app, w, nullptr);
                if (top && nameOf(top) == kPortalDialog) found = top;
                else if (top) g_object_unref(top);
            }
            g_object_unref(app);
        }
        g_object_unref(desktop);
        return found;
    }
};

} // namespace ql::portal_test

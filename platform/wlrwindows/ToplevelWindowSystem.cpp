#include "platform/wlrwindows/ToplevelWindowSystem.h"
#include "platform/atspi/ControlTextSource.h"
#include "platform/wayland/WaylandConnection.h"
#include <QFileInfo>

namespace ql {

namespace {

QStringList defaultOwnAppIds() {
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return {QFileInfo(self).fileName()};
}

} // namespace

ToplevelWindowSystem::ToplevelWindowSystem(std::shared_ptr<WaylandConnection> connection,
                                           std::shared_ptr<ControlTextSource> controls,
                                           QStringList ownAppIds)
    : connection_(std::move(connection)), controls_(std::move(controls)),
      ownAppIds_(ownAppIds.isEmpty() ? defaultOwnAppIds() : std::move(ownAppIds)) {}

void ToplevelWindowSystem::refresh() {
    if (available()) connection_->dispatchPending();
}

void ToplevelWindowSystem::catchUp() {
    if (available()) connection_->roundTrip();
}

std::vector<TopWindow> ToplevelWindowSystem::topWindows() {
    refresh();
    return list_.titled();
}

std::vector<ChildWindow> ToplevelWindowSystem::childWindows(WindowHandle window) {
    refresh();
    const ToplevelState* s = list_.state(window);
    if (!s || !controls_) return {};
    return controls_->controlsOfTitled(s->title);
}

bool ToplevelWindowSystem::exists(WindowHandle window) {
    refresh();
    return list_.exists(window);
}

bool ToplevelWindowSystem::hasFocus(WindowHandle window) {
    catchUp();
    const ToplevelState* s = list_.state(window);
    return s && s->activated;
}

WindowHandle ToplevelWindowSystem::focusedWindow() {
    catchUp();
    return list_.activated();
}

WindowHandle ToplevelWindowSystem::ownFocusedWindow() {
    const WindowHandle focused = focusedWindow();
    const ToplevelState* s = list_.state(focused);
    return s && ownAppIds_.contains(s->appId) ? focused : 0;
}

QString ToplevelWindowSystem::appIdOf(WindowHandle window) {
    refresh();
    const ToplevelState* s = list_.state(window);
    return s ? s->appId : QString();
}

bool ToplevelWindowSystem::isMinimized(WindowHandle window) {
    refresh();
    const ToplevelState* s = list_.state(window);
    return s && s->minimized;
}

} // namespace ql

#include "framework/WidgetWindow.h"
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ql {
namespace {

// Whether a window at (x, y) would show enough of its top-left corner on some
// screen to be grabbed; a place saved on a screen that is gone is not.
bool reachable(int x, int y) {
    const QPoint grip(x + 40, y + 10);
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->geometry().contains(grip)) return true;
    return QGuiApplication::screens().isEmpty();
}

} // namespace

bool WidgetWindow::isMinimized() const { return widget_.windowState() & Qt::WindowMinimized; }

bool WidgetWindow::isMaximized() const { return widget_.windowState() & Qt::WindowMaximized; }

bool WidgetWindow::isResizable() const { return widget_.minimumSize() != widget_.maximumSize(); }

// Frame position with contents size: move() and resize() take the same.
QRect WidgetWindow::geometry() const { return QRect(widget_.pos(), widget_.size()); }

void WidgetWindow::move(int x, int y) {
    if (reachable(x, y)) widget_.move(x, y);
}

void WidgetWindow::resize(int width, int height) { widget_.resize(width, height); }

// Through the window state rather than showMaximized(), which would show a
// window that is not meant to be visible yet.
void WidgetWindow::setMaximized(bool maximized) {
    const Qt::WindowStates state = widget_.windowState();
    widget_.setWindowState(maximized ? (state | Qt::WindowMaximized)
                                     : (state & ~Qt::WindowMaximized));
}

void WidgetWindow::showNormal() {
    widget_.setWindowState(widget_.windowState() &
                           ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}

} // namespace ql

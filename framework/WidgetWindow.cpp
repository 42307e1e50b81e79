#include "framework/WidgetWindow.h"
#include <QWidget>

namespace ql {

bool WidgetWindow::isMinimized() const { return widget_.windowState() & Qt::WindowMinimized; }

bool WidgetWindow::isMaximized() const { return widget_.windowState() & Qt::WindowMaximized; }

bool WidgetWindow::isResizable() const { return widget_.minimumSize() != widget_.maximumSize(); }

// Frame position with contents size: move() and resize() take the same.
QRect WidgetWindow::geometry() const { return QRect(widget_.pos(), widget_.size()); }

void WidgetWindow::move(int x, int y) { widget_.move(x, y); }

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

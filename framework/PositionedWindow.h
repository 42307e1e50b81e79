#pragma once
#include <QRect>

namespace ql {

// What the settings store needs of a window to save and restore its place.
// Positions and sizes are in pixels: the top-left corner of the window's frame
// and the size of its contents, as the window system reports them.
class PositionedWindow {
public:
    virtual ~PositionedWindow() = default;
    virtual bool isMinimized() const = 0;
    virtual bool isMaximized() const = 0;
    // False for a fixed-size window: its size is never saved nor applied.
    virtual bool isResizable() const = 0;
    virtual QRect geometry() const = 0;
    virtual void move(int x, int y) = 0;
    virtual void resize(int width, int height) = 0;
    virtual void setMaximized(bool maximized) = 0;
    // Back to normal size from maximized (or minimized).
    virtual void showNormal() = 0;
};

} // namespace ql

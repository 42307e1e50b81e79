#pragma once
#include "framework/PositionedWindow.h"

class QWidget;

namespace ql {

// A top-level QWidget as a PositionedWindow. Works before the widget is first
// shown: state changes are recorded and take effect when it appears.
class WidgetWindow : public PositionedWindow {
public:
    explicit WidgetWindow(QWidget& widget) : widget_(widget) {}
    bool isMinimized() const override;
    bool isMaximized() const override;
    // Resizable unless the minimum and maximum sizes are the same.
    bool isResizable() const override;
    QRect geometry() const override;
    // Ignored when the place is on no screen, so the window stays where it can be reached.
    void move(int x, int y) override;
    void resize(int width, int height) override;
    void setMaximized(bool maximized) override;
    void showNormal() override;

private:
    QWidget& widget_;
};

} // namespace ql

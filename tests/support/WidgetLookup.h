#pragma once
#include <QPushButton>
#include <QWidget>
#include <stdexcept>
#include <string>

namespace ql::test {

// The control of a window by its object name; a missing one fails the test.
template <typename W>
W& child(QWidget& window, const char* name) {
    W* widget = window.findChild<W*>(QLatin1String(name));
    if (!widget) throw std::runtime_error(std::string("no control ") + name);
    return *widget;
}

inline void click(QWidget& window, const char* button) { child<QPushButton>(window, button).click(); }

} // namespace ql::test

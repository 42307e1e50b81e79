#pragma once
#include "entries/BrowsePasswords.h"
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QWidget;

namespace ql {

class PasswordListView;
class SearchField;

// One copy button and the field it copies.
struct CopyButton {
    CopyField field;
    QPushButton* button;
};

// Every control of the password list window.
struct BrowsePasswordsControls {
    QLabel* clipboardLabel = nullptr;
    QLineEdit* clipboard = nullptr;
    SearchField* search = nullptr;
    QTabBar* tabs = nullptr;
    PasswordListView* list = nullptr;
    QPushButton *selectUser = nullptr, *add = nullptr, *copy = nullptr, *change = nullptr,
                *remove = nullptr, *send = nullptr, *close = nullptr;
    std::array<CopyButton, 6> copyButtons{};
};

// The copy buttons' texts and tooltips, in their order.
struct CopyButtonText {
    CopyField field;
    const char* text;
    const char* tooltip; // null for none
};
const std::array<CopyButtonText, 6>& copyButtonTexts();

// Builds the window's controls into `window`.
BrowsePasswordsControls buildBrowsePasswords(QWidget& window);

} // namespace ql

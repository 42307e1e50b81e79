#include "entries/views/BrowsePasswordsLayout.h"
#include "entries/views/SearchField.h"
#include "entries/views/LengthValidator.h"
#include "entries/views/PasswordListView.h"
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace ql {

namespace {

constexpr int kClipboardWidth = 90;

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton* button(const char* text, const char* name, const char* tooltip = nullptr) {
    auto* b = named(new QPushButton(QString::fromLatin1(text)), name);
    if (tooltip) b->setToolTip(QString::fromLatin1(tooltip));
    b->setAutoDefault(false);
    return b;
}

QLayout* clipboardRow(BrowsePasswordsControls& c) {
    auto* row = new QHBoxLayout;
    c.clipboard = named(new QLineEdit, "clipboard");
    c.clipboard->setValidator(new LengthValidator(kClipboardWidth, c.clipboard));
    c.clipboardLabel = new QLabel(QStringLiteral("Clipboard Contents:"));
    c.clipboardLabel->setBuddy(c.clipboard);
    row->addWidget(c.clipboardLabel);
    row->addWidget(c.clipboard, 1);
    return row;
}

QLayout* buttonColumn(BrowsePasswordsControls& c) {
    auto* column = new QVBoxLayout;
    c.selectUser = button("Select User", "selectUser", "Change to password list for another user");
    c.add = button("&Add", "add", "Add password/information");
    c.copy = button("Cop&y", "copy");
    c.change = button("&Change", "change", "Edit password/information");
    c.remove = button("&Delete", "delete", "Remove password/information");
    c.send = button("Send", "send", "Semi-automatic send of password/information");
    c.close = button("Cl&ose", "close", "Exit this password list");
    for (QPushButton* b : {c.selectUser, c.add, c.copy, c.change, c.remove, c.send}) column->addWidget(b);
    column->addStretch(1);
    column->addWidget(c.close);
    return column;
}

QWidget* copyGroup(BrowsePasswordsControls& c) {
    auto* group = named(new QGroupBox(QStringLiteral("Copy Into Clipboard")), "copyGroup");
    auto* row = new QHBoxLayout(group);
    for (size_t i = 0; i < copyButtonTexts().size(); ++i) {
        const CopyButtonText& t = copyButtonTexts()[i];
        QPushButton* b = button(t.text, "copyButton", t.tooltip);
        c.copyButtons[i] = {t.field, b};
        row->addWidget(b);
    }
    row->addStretch(1);
    return group;
}

} // namespace

const std::array<CopyButtonText, 6>& copyButtonTexts() {
    static const std::array<CopyButtonText, 6> texts{{
        {CopyField::Name, "&Name", "Copy Name onto Clipboard"},
        {CopyField::Password, "&Password", nullptr},
        {CopyField::Url, "&URL", nullptr},
        {CopyField::Notes, "No&tes", nullptr},
        {CopyField::MoreNotes, "&More Notes", nullptr},
        {CopyField::Service, "&Service", nullptr},
    }};
    return texts;
}

BrowsePasswordsControls buildBrowsePasswords(QWidget& window) {
    BrowsePasswordsControls c;
    c.tabs = named(new QTabBar, "tabs");
    for (const ListOrder& order : listOrders()) c.tabs->addTab(order.tabText);
    c.tabs->setFocusPolicy(Qt::TabFocus);
    c.list = named(new PasswordListView, "list");
    c.search = new SearchField;
    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(0);
    listColumn->addWidget(c.search);
    listColumn->addSpacing(4);
    listColumn->addWidget(c.tabs);
    listColumn->addWidget(c.list, 1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(listColumn, 1);
    middle->addLayout(buttonColumn(c));
    auto* layout = new QVBoxLayout(&window);
    layout->addLayout(clipboardRow(c));
    layout->addLayout(middle, 1);
    layout->addWidget(copyGroup(c));
    return c;
}

} // namespace ql

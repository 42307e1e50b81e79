#include "entries/views/BrowsePasswordsWindow.h"
#include "entries/views/SearchField.h"
#include "entries/EntryForm.h"
#include "entries/views/DisplayAllDialog.h"
#include "entries/views/PasswordListView.h"
#include "exchange/views/ListExportDialog.h"
#include "framework/HeaderArrangement.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTimer>

namespace ql {

namespace {

constexpr int kClipboardPollMs = 250;
// Designed column widths in dialog units (a quarter of an average character).
constexpr std::array<int, PasswordListModel::ColumnCount> kColumnUnits{75, 76, 63, 153, 44, 45};

} // namespace

BrowsePasswordsWindow* BrowsePasswordsWindow::open(
    const BrowseServices& services, BrowseWindowTools tools,
    const std::function<int(Record&, QWidget*)>& chooseFirst, QWidget* parent) {
    auto* window = new BrowsePasswordsWindow(services, std::move(tools), parent);
    // The window is not shown before a user is established, so closing at
    // once shows nothing.
    if (!window->logic_->open([&](Record& user) { return chooseFirst(user, parent); })) {
        window->finished_ = true;
        delete window;
        return nullptr;
    }
    window->showUser();
    window->restoreLayout();
    window->place();
    window->show();
    window->highlight(0);
    window->c_.list->setFocus();
    return window;
}

BrowsePasswordsWindow::BrowsePasswordsWindow(const BrowseServices& services, BrowseWindowTools tools,
                                             QWidget* parent)
    : QWidget(parent, Qt::Window), logic_(std::make_unique<BrowsePasswords>(services)),
      tools_(std::move(tools)), c_(buildBrowsePasswords(*this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    c_.list->setModel(&logic_->model());
    buildPopup();
    buildHeader();
    connectButtons();
    connectList();
    c_.clipboard->setVisible(!logic_->hideClipboard());
    c_.clipboardLabel->setVisible(!logic_->hideClipboard());
    if (!logic_->hideClipboard()) {
        connect(c_.clipboard, &QLineEdit::editingFinished, this,
                [this] { logic_->putClipboardDisplay(c_.clipboard->text()); });
        clipboardTimer_ = new QTimer(this);
        connect(clipboardTimer_, &QTimer::timeout, this, &BrowsePasswordsWindow::refreshClipboard);
        clipboardTimer_->start(kClipboardPollMs);
        refreshClipboard();
    }
    resize(900, 620);
}

BrowsePasswordsWindow::~BrowsePasswordsWindow() { finish(); }

// Where it was last closed; the first time, in the middle of the screen.
void BrowsePasswordsWindow::place() {
    if (tools_.positions.readSetting(kProcedure, QStringLiteral("Maximize")).isEmpty()) {
        if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen()) {
            QRect frame(QPoint(), size());
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
        return;
    }
    WidgetWindow window(*this);
    tools_.positions.restoreWindow(kProcedure, window);
}

void BrowsePasswordsWindow::buildPopup() {
    popup_ = new QMenu(this);
    auto item = [this](const QString& text, auto slot, bool needsEntry = true) {
        QAction* a = popup_->addAction(text);
        connect(a, &QAction::triggered, this, slot);
        if (needsEntry) needEntry_.push_back(a);
        return a;
    };
    item(QStringLiteral("&Insert"), [this] { runForm(&BrowsePasswords::add); }, false);
    item(QStringLiteral("&Change"), [this] { runForm(&BrowsePasswords::change); });
    item(QStringLiteral("&Delete"), [this] { runForm(&BrowsePasswords::remove); });
    item(QStringLiteral("&Launch URL"), [this] { logic_->launchUrl(row()); });
    item(QStringLiteral("Send"), [this] { send(); });
    popup_->addSeparator();
    for (const CopyButton& b : c_.copyButtons)
        item(b.button->text(), [this, field = b.field] {
            logic_->copyField(row(), field);
            c_.list->setFocus();
        });
    popup_->addSeparator();
    item(QStringLiteral("Filter Clipboard"), [this] { filterClipboard(); }, false);
    popup_->addSeparator();
    item(QStringLiteral("Display All"), [this] { displayAll(); });
    item(QStringLiteral("Cop&y"), [this] { runForm(&BrowsePasswords::copy); });
}

void BrowsePasswordsWindow::connectButtons() {
    connect(c_.selectUser, &QPushButton::clicked, this, &BrowsePasswordsWindow::selectUser);
    connect(c_.add, &QPushButton::clicked, this, [this] { runForm(&BrowsePasswords::add); });
    connect(c_.copy, &QPushButton::clicked, this, [this] { runForm(&BrowsePasswords::copy); });
    connect(c_.change, &QPushButton::clicked, this, [this] { runForm(&BrowsePasswords::change); });
    connect(c_.remove, &QPushButton::clicked, this, [this] { runForm(&BrowsePasswords::remove); });
    connect(c_.send, &QPushButton::clicked, this, &BrowsePasswordsWindow::send);
    connect(c_.close, &QPushButton::clicked, this, &QWidget::close);
    for (const CopyButton& b : c_.copyButtons)
        connect(b.button, &QPushButton::clicked, this, [this, field = b.field] {
            logic_->copyField(row(), field);
            c_.list->setFocus();
        });
}

void BrowsePasswordsWindow::connectList() {
    PasswordListView* list = c_.list;
    list->locator = [this](const QString& typed) { return logic_->locate(typed); };
    list->beforeLongMove = [this] { logic_->model().countNow(); };
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        applyEnabling();
        popup_->popup(c_.list->viewport()->mapToGlobal(at));
    });
    connect(list, &PasswordListView::insertPressed, this, [this] { runForm(&BrowsePasswords::add); });
    connect(list, &PasswordListView::deletePressed, this,
            [this] { if (logic_->hasEntries()) runForm(&BrowsePasswords::remove); });
    auto changeEntry = [this] { if (logic_->hasEntries()) runForm(&BrowsePasswords::change); };
    connect(list, &PasswordListView::enterPressed, this, changeEntry);
    connect(list, &QAbstractItemView::doubleClicked, this, changeEntry);
    connect(c_.tabs, &QTabBar::currentChanged, this, &BrowsePasswordsWindow::switchTab);
    connect(c_.search, &QLineEdit::textChanged, this, [this](const QString& typed) {
        highlight(logic_->search(typed, row()));
        applyEnabling();
    });
    connect(c_.search, &SearchField::toList, c_.list, [this] { c_.list->setFocus(); });
    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    addAction(find);
    connect(find, &QAction::triggered, c_.search, [this] {
        c_.search->setFocus();
        c_.search->selectAll();
    });
    // A click on the tab already shown sorts by its column again.
    connect(c_.tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index < 0 || index != c_.tabs->currentIndex()) return;
        if (logic_->model().sortColumn() == PasswordListModel::columnOfTab(ListTab(index))) return;
        logic_->selectTab(ListTab(index));
        highlight(0);
    });
    QAbstractItemModel* model = &logic_->model();
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, signal, this, &BrowsePasswordsWindow::applyEnabling);
    connect(model, &QAbstractItemModel::modelReset, this, &BrowsePasswordsWindow::applyEnabling);
    connect(model, &QAbstractItemModel::modelReset, this, &BrowsePasswordsWindow::showSortColumn);
}

void BrowsePasswordsWindow::buildHeader() {
    QHeaderView* header = c_.list->horizontalHeader();
    columns_ = std::make_unique<HeaderArrangement>(*header, tools_.positions, kProcedure, kLayoutKey, kOrderKey);
    header->setSortIndicatorShown(true);
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, &BrowsePasswordsWindow::sortBy);
    headerMenu_ = new QMenu(this);
    connect(headerMenu_->addAction(QStringLiteral("Reset columns")), &QAction::triggered, this,
            &BrowsePasswordsWindow::resetColumns);
    connect(headerMenu_->addAction(QStringLiteral("Export list...")), &QAction::triggered, this,
            &BrowsePasswordsWindow::exportList);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this,
            [this, header](const QPoint& at) { headerMenu_->popup(header->mapToGlobal(at)); });
}

// A column with a tab of its own shows that tab; the others sort within the tab.
void BrowsePasswordsWindow::sortBy(int column) {
    const std::optional<ListTab> tab = PasswordListModel::tabOfColumn(column);
    if (tab && c_.tabs->currentIndex() != int(*tab)) {
        c_.tabs->setCurrentIndex(int(*tab));
    } else if (logic_->model().sortColumn() != column) {
        logic_->sortBy(column);
        highlight(0);
    }
    showSortColumn();
}

// The header turns its arrow at every click: the list sorts one way only.
void BrowsePasswordsWindow::showSortColumn() {
    c_.list->horizontalHeader()->setSortIndicator(logic_->model().sortColumn(), Qt::AscendingOrder);
}

void BrowsePasswordsWindow::resetColumns() { columns_->reset(); }

// The shown columns in their order and the rows shown (the ones found while
// searching), the passwords after them when the user asks for them.
void BrowsePasswordsWindow::exportList() {
    auto table = [this](const ListExportChoice& choice) {
        PasswordListModel& model = logic_->model();
        model.countNow();
        ListExportTable shown = shownTable(model, shownColumns(*c_.list->horizontalHeader()), windowTitle());
        if (choice.passwords)
            addExportColumn(shown, QStringLiteral("Password"),
                            [this](int row) { return logic_->passwordOf(row).value_or(QString()); });
        return shown;
    };
    const ListExportHooks hooks{tools_.files, &logic_->prompter(), tools_.askExport};
    ql::exportList(this, hooks, true, table, QStringLiteral("passwords-") + logic_->user().text("U_:NAME"));
    c_.list->setFocus();
}

void BrowsePasswordsWindow::showUser() {
    setWindowTitle(logic_->windowTitle());
    applyEnabling();
}

// Acting on an entry needs one.
void BrowsePasswordsWindow::applyEnabling() {
    const bool any = logic_->hasEntries();
    for (QAction* a : needEntry_) a->setEnabled(any);
    for (QPushButton* b : {c_.copy, c_.change, c_.remove, c_.send}) b->setEnabled(any);
    for (const CopyButton& b : c_.copyButtons) b.button->setEnabled(any);
}

void BrowsePasswordsWindow::highlight(int row) { c_.list->highlight(std::max(row, 0)); }

int BrowsePasswordsWindow::row() const { return std::max(c_.list->highlightedRow(), 0); }

void BrowsePasswordsWindow::runForm(int (BrowsePasswords::*action)(const BrowsePasswords::FormRunner&, int)) {
    auto form = [this](int request, DataTable& passwords, Record& user) {
        return tools_.form(request, passwords, user, this);
    };
    highlight(((*logic_).*action)(form, row()));
    c_.list->setFocus();
}

void BrowsePasswordsWindow::send() {
    const int at = row();
    logic_->send(at);
    highlight(logic_->refresh(at));
    c_.list->setFocus();
}

void BrowsePasswordsWindow::selectUser() {
    if (!logic_->selectUser([this](Record& user) { return tools_.selectUser(user, this); })) {
        close();
        return;
    }
    showUser();
    highlight(0);
    c_.list->setFocus();
}

void BrowsePasswordsWindow::userChanged(const QString& was, const QString& now) {
    if (finished_ || !logic_->showsUser(was)) return;
    if (!logic_->followUser(now)) {
        close();
        return;
    }
    showUser();
    highlight(logic_->refresh(row()));
}

void BrowsePasswordsWindow::userDeleted(const QString& name) {
    if (!finished_ && logic_->showsUser(name)) close();
}

std::vector<BrowsePasswordsWindow*> openPasswordLists(const QObject& owner) {
    std::vector<BrowsePasswordsWindow*> lists;
    for (BrowsePasswordsWindow* list : owner.findChildren<BrowsePasswordsWindow*>(Qt::FindDirectChildrenOnly))
        lists.push_back(list);
    return lists;
}

void BrowsePasswordsWindow::displayAll() {
    if (!logic_->loadEntry(row())) return;
    const QString token = logic_->model().datePicture();
    DisplayAllDialog(logic_->passwords().record(), tools_.positions, token, this).exec();
}

void BrowsePasswordsWindow::filterClipboard() {
    const QString text = logic_->filterClipboard();
    if (!c_.clipboard->hasFocus()) c_.clipboard->setText(text.left(c_.clipboard->maxLength()));
}

// A live copy of the clipboard, left alone while the user edits it.
void BrowsePasswordsWindow::refreshClipboard() {
    if (c_.clipboard->hasFocus()) return;
    if (const std::optional<QString> text = logic_->changedClipboardDisplay()) c_.clipboard->setText(*text);
}

void BrowsePasswordsWindow::switchTab(int index) {
    if (index < 0 || index >= kListTabCount || ListTab(index) == logic_->tab()) return;
    logic_->selectTab(ListTab(index));
    highlight(0);
    showSortColumn();
}

// Entries may have changed in another window while this one was in the
// background: coming back reads them again.
bool BrowsePasswordsWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) {
        leftOnce_ = true;
    } else if (event->type() == QEvent::WindowActivate && leftOnce_ && !finished_) {
        highlight(logic_->refresh(row()));
        applyEnabling();
    }
    return QWidget::event(event);
}

void BrowsePasswordsWindow::closeEvent(QCloseEvent* event) {
    finish();
    event->accept();
}

void BrowsePasswordsWindow::finish() {
    if (finished_) return;
    finished_ = true;
    if (clipboardTimer_) clipboardTimer_->stop();
    logic_->close();
    saveLayout();
    tools_.positions.saveWindow(kProcedure, WidgetWindow(*this));
}

// The columns' widths in pixels ("95,96,80,194,56,57") and their order as
// shown ("0,1,2,3,4,5"); the design until the user moved or resized them.
void BrowsePasswordsWindow::restoreLayout() {
    const int unit = std::max(1, fontMetrics().averageCharWidth());
    std::vector<int> design;
    for (int units : kColumnUnits) design.push_back(units * unit / 4 + 8);
    columns_->setDesign(std::move(design));
    columns_->restore();
    showSortColumn();
}

void BrowsePasswordsWindow::saveLayout() { columns_->save(); }

} // namespace ql

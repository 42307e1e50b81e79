#include "signin/views/MainFrame.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "signin/views/CloseDownWindow.h"
#include "signin/WindowArrangement.h"
#include "signin/views/HelpWindow.h"
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace ql {

namespace {
const QString kSection = QStringLiteral("Main");
constexpr int kTickMilliseconds = 200;
} // namespace

MainFrame::MainFrame(FrameTicker& ticker, IniStore& positions, Clock& clock, Clipboard& clipboard,
                     QWidget* parent)
    : QMainWindow(parent), ticker_(ticker), positions_(positions), clock_(clock),
      clipboard_(clipboard) {
    setWindowTitle(QStringLiteral("Quillock"));
    setWindowIcon(QIcon(QStringLiteral(":/images/QL00.GIF")));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildButtonRow());
    mdi_ = new QMdiArea(central);
    layout->addWidget(mdi_, 1);
    setCentralWidget(central);
    // Choosing from the menu moves the focus into the frame: remember the text
    // field last used in the other windows, for the Edit commands.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() != this && now->window()->windowType() != Qt::Popup &&
            now->metaObject()->indexOfMethod("copy()") >= 0)
            lastOutsideFocus_ = now;
    });
    buildMenus();
    buildStatusBar();
    resize(760, 520);
    ticker_.onCloseDownDue = [this] { startCloseDown(); };
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &MainFrame::runTick);
    timer_->start(kTickMilliseconds);
}

MainFrame::~MainFrame() { ticker_.onCloseDownDue = nullptr; }

QAction* MainFrame::addItem(QMenu* menu, const QString& text, bool enabled) {
    QAction* item = menu->addAction(text);
    item->setEnabled(enabled);
    return item;
}

QAction* MainFrame::action(const QString& text) const {
    for (QAction* a : findChildren<QAction*>())
        if (a->text() == text) return a;
    return nullptr;
}

void MainFrame::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(addItem(file, QStringLiteral("Pass&words"), false), &QAction::triggered, this,
            [this] { emit passwordsRequested(0); });
    connect(addItem(file, QStringLiteral("&User Setup")), &QAction::triggered, this,
            &MainFrame::userSetupRequested);
    QMenu* reports = file->addMenu(QStringLiteral("&Reports"));
    int number = 0;
    for (const char* report :
         {"by Service", "by URL", "by Name", "by Last Date Changed", "Master Report", "Password Health"}) {
        QAction* item = addItem(reports, QLatin1String(report), false);
        connect(item, &QAction::triggered, this, [this, number] { emit reportRequested(number); });
        reportItems_.push_back(item);
        ++number;
    }
    // The printer set-up is the reports': it is theirs to offer.
    QAction* printSetup = addItem(file, QStringLiteral("Print &Setup ..."), false);
    connect(printSetup, &QAction::triggered, this, &MainFrame::printSetupRequested);
    reportItems_.push_back(printSetup);
    file->addSeparator();
    connect(addItem(file, QStringLiteral("&Import"), false), &QAction::triggered, this,
            &MainFrame::importRequested);
    connect(addItem(file, QStringLiteral("&Export"), false), &QAction::triggered, this,
            &MainFrame::exportRequested);
    connect(addItem(file, QStringLiteral("S&ynchronize"), false), &QAction::triggered, this,
            &MainFrame::synchronizeRequested);
    file->addSeparator();
    connect(addItem(file, QStringLiteral("E&xit")), &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    connect(addItem(edit, QStringLiteral("Cu&t")), &QAction::triggered, this,
            [this] { editCommand("cut()"); });
    connect(addItem(edit, QStringLiteral("&Copy")), &QAction::triggered, this,
            [this] { editCommand("copy()"); });
    connect(addItem(edit, QStringLiteral("&Paste")), &QAction::triggered, this,
            [this] { editCommand("paste()"); });
    edit->addSeparator();
    connect(addItem(edit, QStringLiteral("Filter Clipboard Contents")), &QAction::triggered, this,
            &MainFrame::filterClipboard);

    // Options sits apart from "&Paste", whose mnemonic it shares.
    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    connect(addItem(tools, QStringLiteral("O&ptions")), &QAction::triggered, this,
            &MainFrame::optionsRequested);
    connect(addItem(tools, QStringLiteral("Password &Health")), &QAction::triggered, this,
            &MainFrame::passwordHealthRequested);

    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    connect(addItem(window, QStringLiteral("T&ile")), &QAction::triggered, this,
            [this] { arrangeWindows(true); });
    connect(addItem(window, QStringLiteral("&Cascade")), &QAction::triggered, this,
            [this] { arrangeWindows(false); });
    connect(addItem(window, QStringLiteral("&Arrange Icons")), &QAction::triggered, mdi_,
            &QMdiArea::tileSubWindows);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    connect(addItem(help, QStringLiteral("&Contents")), &QAction::triggered, this, &MainFrame::showHelp);
    connect(addItem(help, QStringLiteral("&About")), &QAction::triggered, this,
            &MainFrame::aboutRequested);
}

QWidget* MainFrame::buildButtonRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    auto* logo = new QLabel(row);
    const QPixmap picture(QStringLiteral(":/images/QL00.GIF"));
    if (!picture.isNull())
        logo->setPixmap(picture.scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    layout->addWidget(logo);
    passwordsButton_ = new QPushButton(QStringLiteral("Passwords"), row);
    usersButton_ = new QPushButton(QStringLiteral("Users"), row);
    connect(passwordsButton_, &QPushButton::clicked, this, [this] { emit passwordsRequested(0); });
    connect(usersButton_, &QPushButton::clicked, this, &MainFrame::userSetupRequested);
    layout->addWidget(passwordsButton_);
    layout->addWidget(usersButton_);
    for (int i = 0; i < 3; ++i) {
        quickButtons_[i] = new QPushButton(row);
        connect(quickButtons_[i], &QPushButton::clicked, this, [this, i] { emit passwordsRequested(i + 1); });
        layout->addWidget(quickButtons_[i]);
    }
    layout->addStretch(1);
    monitorSwitch_ = new QCheckBox(QStringLiteral("&Monitor"), row);
    connect(monitorSwitch_, &QCheckBox::clicked, this, &MainFrame::toggleMonitoring);
    layout->addWidget(monitorSwitch_);
    indicator_ = new QLabel(QStringLiteral(" "), row);
    indicator_->setMinimumWidth(12);
    layout->addWidget(indicator_);
    keyPicture_ = new QLabel(row);
    keyPicture_->setPixmap(QPixmap(QStringLiteral(":/images/KEY3.GIF")));
    layout->addWidget(keyPicture_);
    setQuickUserNames({});
    setPasswordListAvailable(false);
    return row;
}

void MainFrame::buildStatusBar() {
    for (int i = 0; i < 4; ++i) {
        zones_[i] = new QLabel(this);
        zones_[i]->setMinimumWidth(i == 0 ? 20 : (i == 3 ? 80 : 220));
        statusBar()->addPermanentWidget(zones_[i], i == 1 ? 2 : (i == 3 ? 0 : 1));
    }
}

void MainFrame::setQuickUserNames(const std::array<QString, 3>& names) {
    quickNames_ = names;
    for (int i = 0; i < 3; ++i) {
        quickButtons_[i]->setText(names[i].isEmpty() ? QStringLiteral("User %1").arg(i + 1) : names[i]);
        quickButtons_[i]->setEnabled(passwordListAvailable_ && !names[i].isEmpty());
    }
}

void MainFrame::setPasswordListAvailable(bool available) {
    passwordListAvailable_ = available;
    passwordsButton_->setEnabled(available);
    if (QAction* item = action(QStringLiteral("Pass&words"))) item->setEnabled(available);
    setQuickUserNames(quickNames_);
}

void MainFrame::setExchangeAvailable(bool available) {
    for (const char* text : {"&Import", "&Export"})
        if (QAction* item = action(QLatin1String(text))) item->setEnabled(available);
}

void MainFrame::setReportsAvailable(bool available) {
    for (QAction* item : reportItems_) item->setEnabled(available);
}

void MainFrame::setSynchronizeAvailable(bool available) {
    if (QAction* item = action(QStringLiteral("S&ynchronize"))) item->setEnabled(available);
}

void MainFrame::runTick() {
    const FrameZones zones = ticker_.tick();
    zones_[1]->setText(zones.countdown);
    zones_[2]->setText(zones.date);
    zones_[3]->setText(zones.time);
    refreshIndicator();
}

void MainFrame::refreshIndicator() {
    indicator_->setText(ticker_.monitorIndicator());
    monitorSwitch_->setChecked(ticker_.monitoringOn());
}

void MainFrame::toggleMonitoring() {
    ticker_.toggleMonitoring();
    refreshIndicator();
}

void MainFrame::filterClipboard() { clipboard_.setText(filterClipboardText(clipboard_.text())); }

// Cut, Copy and Paste act on the field that has the focus, or, when that is in
// the frame (which holds no text), on the text field last used in another of
// the program's windows.
void MainFrame::editCommand(const char* slot) {
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() == this) target = lastOutsideFocus_;
    if (!target || !target->isVisible()) return;
    const int method = target->metaObject()->indexOfMethod(slot);
    if (method >= 0) target->metaObject()->method(method).invoke(target);
}

void MainFrame::minimizeFrame() { showMinimized(); }

void MainFrame::monitorRunNow() { ticker_.runMonitorNow(); }

void MainFrame::startCloseDown() {
    if (closeDown_) return;
    closeDown_ = new CloseDownWindow(clock_, positions_, this);
    connect(closeDown_, &CloseDownWindow::closeDownNow, this, &MainFrame::closeDown,
            Qt::QueuedConnection);
    closeDown_->show();
}

void MainFrame::closeDown() { close(); }

// The windows started from the frame that are open on the desktop, oldest first.
std::vector<QWidget*> MainFrame::openWindows() const {
    std::vector<QWidget*> windows;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isWindow() && child->isVisible() && !child->isMinimized() && !child->isModal() &&
            child != closeDown_)
            windows.push_back(child);
    return windows;
}

// The frame's windows are windows of the desktop: they are laid out over the
// frame's empty area below its buttons, title bars and borders included.
void MainFrame::arrangeWindows(bool tile) {
    const std::vector<QWidget*> windows = openWindows();
    if (windows.empty()) return;
    const QRect area(mdi_->mapToGlobal(QPoint(0, 0)), mdi_->size());
    std::vector<QSize> sizes;
    for (QWidget* w : windows) sizes.push_back(w->frameGeometry().size());
    const int titleBar = windows.front()->geometry().top() - windows.front()->frameGeometry().top();
    const std::vector<QRect> places = tile ? tiledRects(area, int(windows.size()))
                                           : cascadedRects(area, sizes, titleBar > 0 ? titleBar : 24);
    for (size_t i = 0; i < windows.size(); ++i) {
        QWidget* w = windows[i];
        const QRect outer = w->frameGeometry(), inner = w->geometry();
        w->setGeometry(places[i].adjusted(inner.left() - outer.left(), inner.top() - outer.top(),
                                          inner.right() - outer.right(),
                                          inner.bottom() - outer.bottom()));
        w->raise();
    }
    windows.back()->activateWindow();
}

void MainFrame::showHelp() {
    auto* help = new HelpWindow(QStringLiteral(":/help/QUILLOCK.HLP"), this);
    help->show();
}

void MainFrame::showEvent(QShowEvent* event) {
    if (!positionRestored_) {
        WidgetWindow window(*this);
        positions_.restoreWindow(kSection, window);
        positionRestored_ = true;
    }
    QMainWindow::showEvent(event);
}

void MainFrame::closeEvent(QCloseEvent* event) {
    mdi_->closeAllSubWindows();
    // The windows started from the frame (password lists) close with it and
    // keep their places.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isWindow() && child->isVisible()) child->close();
    WidgetWindow window(*this);
    positions_.saveWindow(kSection, window);
    ticker_.clearClipboardOnClose();
    timer_->stop();
    event->accept();
}

} // namespace ql

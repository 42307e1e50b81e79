#include "monitorapp/views/MonitorWindow.h"
#include <QMessageBox>
#include "entries/views/SearchField.h"
#include "exchange/views/ListExportDialog.h"
#include "framework/HeaderArrangement.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "monitorapp/MonitorCommands.h"
#include "monitorapp/MonitorListModel.h"
#include "monitorapp/views/TrayArtwork.h"
#include "signin/views/ConfirmPasswordDialog.h"
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace ql {

namespace {

// In the tray the window is minimized and hidden; the place it keeps is the
// one where it shows again, and that is what closing saves.
class ShownPlace : public WidgetWindow {
public:
    using WidgetWindow::WidgetWindow;
    bool isMinimized() const override { return false; }
};


const char* const kButtons[] = {"Select &User", "&Tools", "Start UR&L", "&Add",
                                "&Edit",        "&Options", "&Send",   "&Clipboard"};
} // namespace

MonitorWindow::MonitorWindow(IniStore& positions, QWidget* parent)
    : QWidget(parent, Qt::Window), positions_(positions) {
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_QuitOnClose, false); // the program ends from closing(), also when hidden
    user_ = new QLabel;
    user_->setObjectName(QStringLiteral("user"));
    search_ = new SearchField;
    list_ = new QTableView;
    list_->setObjectName(QStringLiteral("entries"));
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);
    list_->setWordWrap(false); // one line an entry
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->horizontalHeader()->setDefaultSectionSize(dialogUnitsX(48));
    presets_ = new QComboBox;
    presets_->setObjectName(QStringLiteral("preset"));
    presets_->addItems(monitorPresets());
    presets_->setCurrentText(kPresetOwnText);
    presets_->setToolTip(QStringLiteral("What Send and Clipboard take from the entry"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(user_, 0, 0, 1, 2);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(search_);
    listColumn->addWidget(list_, 1);
    layout->addLayout(listColumn, 1, 0);
    layout->addWidget(buildButtons(), 1, 1, 2, 1, Qt::AlignTop);
    auto* sendRow = new QHBoxLayout;
    sendRow->addWidget(presets_);
    sendRow->addWidget(makeButton(6));
    sendRow->addWidget(makeButton(7));
    sendRow->addStretch(1);
    layout->addLayout(sendRow, 2, 0);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(1, 1);
    setMinimumSize(smallest());
    setMaximumSize(largest());
    resize(dialogUnitsX(260), dialogUnitsY(150));
    buildHeader();
    WidgetWindow window(*this);
    positions_.restoreWindow(kSection, window);
}

MonitorWindow::~MonitorWindow() = default;

void MonitorWindow::buildHeader() {
    QHeaderView* header = list_->horizontalHeader();
    columns_ = std::make_unique<HeaderArrangement>(*header, positions_, kSection, kColumnsKey, kOrderKey);
    headerMenu_ = new QMenu(this);
    connect(headerMenu_->addAction(QStringLiteral("Reset columns")), &QAction::triggered, this,
            [this] { columns_->reset(); });
    connect(headerMenu_->addAction(QStringLiteral("Export list...")), &QAction::triggered, this,
            &MonitorWindow::exportList);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this,
            [this, header](const QPoint& at) { headerMenu_->popup(header->mapToGlobal(at)); });
}

// The mark column shows pictures only: it has no text to export.
void MonitorWindow::exportList() {
    if (!list_->model()) return;
    auto table = [this](const ListExportChoice&) {
        std::vector<int> columns = shownColumns(*list_->horizontalHeader());
        std::erase(columns, int(MonitorListModel::Mark));
        return shownTable(*list_->model(), columns, kTitle + QStringLiteral(" - ") + user_->text());
    };
    ql::exportList(this, exportHooks, false, table, QStringLiteral("monitor-list"));
}

QPushButton* MonitorWindow::makeButton(int index) {
    using Signal = void (MonitorWindow::*)();
    static const Signal kSignals[] = {
        &MonitorWindow::selectUserClicked, &MonitorWindow::toolsClicked,
        &MonitorWindow::startUrlClicked,   &MonitorWindow::addClicked,
        &MonitorWindow::editClicked,       &MonitorWindow::optionsClicked,
        &MonitorWindow::sendClicked,       &MonitorWindow::clipboardClicked};
    auto* button = new QPushButton(QString::fromLatin1(kButtons[index]));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, kSignals[index]);
    return button;
}

// The commands on the user and the list down the right; Send and Clipboard
// sit by the preset list they use.
QWidget* MonitorWindow::buildButtons() {
    auto* box = new QWidget;
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 6; ++i) column->addWidget(makeButton(i));
    column->addStretch(1);
    return box;
}

void MonitorWindow::setEntries(QAbstractItemModel* model) {
    list_->setModel(model);
    list_->setIconSize(QSize(16, 16));
    std::vector<int> design(size_t(list_->horizontalHeader()->count()), dialogUnitsX(48));
    if (!design.empty()) design[0] = 24; // the mark column
    columns_->setDesign(std::move(design));
    columns_->restore();
}

QPushButton* MonitorWindow::button(const QString& text) const {
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

QString MonitorWindow::preset() const { return presets_->currentText(); }

// Dialog units: a quarter of the average character width across, an eighth
// of the character height down.
int MonitorWindow::dialogUnitsX(int units) const {
    return units * QFontMetrics(font()).averageCharWidth() / 4;
}
int MonitorWindow::dialogUnitsY(int units) const { return units * QFontMetrics(font()).height() / 8; }
QSize MonitorWindow::smallest() const { return {dialogUnitsX(50), dialogUnitsY(50)}; }
QSize MonitorWindow::largest() const { return {dialogUnitsX(500), dialogUnitsY(500)}; }

void MonitorWindow::hideInTray() { hide(); }

// Not modal: the window is what the user works with meanwhile.
void MonitorWindow::tellNoTray(const QString& why) {
    auto* box = new QMessageBox(QMessageBox::Information, windowTitle(), why, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void MonitorWindow::minimizeOnTaskBar() {
    if (!isMinimized()) showMinimized();
}

void MonitorWindow::showRestored() {
    showNormal();
    bringToForeground(*this);
}

void MonitorWindow::takeFocus() {
    if (isVisible()) bringToForeground(*this);
}

void MonitorWindow::makeStayOnTop() {
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint)) return;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, true); // hides a shown window
    if (visible) show();
}

void MonitorWindow::setWindowIcon(const QString& picture) {
    if (picture == iconName_) return;
    iconName_ = picture;
    QWidget::setWindowIcon(TrayArtwork::icon(picture));
}

void MonitorWindow::showUserEntries(const QString& userName) {
    user_->setText(userName);
    if (onShowUser) onShowUser(userName);
}

void MonitorWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible())
        emit minimizedByUser();
}

void MonitorWindow::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        positions_.saveWindow(kSection, ShownPlace(*this));
        if (list_->model()) columns_->save();
        emit closing();
    }
    event->accept();
}

} // namespace ql

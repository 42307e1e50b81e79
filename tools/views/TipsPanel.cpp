#include "tools/views/TipsPanel.h"
#include "tools/views/BrowseTipsWindow.h"
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

namespace {
QPushButton* button(const QString& text, const char* name) {
    auto* b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}
} // namespace

TipsPanel::TipsPanel(const Services& services, QWidget* parent)
    : QWidget(parent), services_(services), table_(services.tips.def()), stepper_(table_) {
    text_ = new QLabel;
    text_->setObjectName(QStringLiteral("tip"));
    text_->setTextFormat(Qt::PlainText); // tips come from a plain file: never markup
    text_->setWordWrap(true);
    text_->setFrameShape(QFrame::StyledPanel);
    text_->setMinimumHeight(110);
    text_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    text_->setMargin(8);
    add_ = button(QStringLiteral("&Add Tip"), "addTip");
    previous_ = button(QStringLiteral("&Previous"), "previous");
    next_ = button(QStringLiteral("&Next"), "next");
    connect(add_, &QPushButton::clicked, this, &TipsPanel::addTip);
    connect(previous_, &QPushButton::clicked, this, &TipsPanel::previous);
    connect(next_, &QPushButton::clicked, this, &TipsPanel::next);
    auto* row = new QHBoxLayout;
    row->addWidget(add_);
    row->addStretch(1);
    row->addWidget(previous_);
    row->addWidget(next_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    layout->addLayout(row);
    if (services_.tips.open(table_) == store_error::NoError) stepper_.start();
    redraw();
}

QString TipsPanel::shownText() const { return text_->text(); }

void TipsPanel::redraw() {
    text_->setText(stepper_.text());
    const bool open = table_.isOpen();
    previous_->setEnabled(open && stepper_.previousAvailable());
    next_->setEnabled(open && stepper_.nextAvailable());
    add_->setEnabled(open);
}

void TipsPanel::next() {
    stepper_.next();
    redraw();
}

void TipsPanel::previous() {
    stepper_.previous();
    redraw();
}

void TipsPanel::addTip() {
    BrowseTips tips(services_.tips, services_.errors, table_);
    BrowseTipsWindow browse(tips, services_.prompter, services_.positions, window());
    browse.exec();
    stepper_.refresh();
    redraw();
}

} // namespace ql

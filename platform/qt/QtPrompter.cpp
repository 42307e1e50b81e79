#include "platform/qt/QtPrompter.h"
#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <utility>

namespace ql {
namespace {

constexpr std::pair<PromptButton, QMessageBox::StandardButton> kButtons[] = {
    {PromptButton::Ok, QMessageBox::Ok},         {PromptButton::Yes, QMessageBox::Yes},
    {PromptButton::No, QMessageBox::No},         {PromptButton::Cancel, QMessageBox::Cancel},
    {PromptButton::Retry, QMessageBox::Retry},   {PromptButton::Abort, QMessageBox::Abort},
    {PromptButton::Ignore, QMessageBox::Ignore},
};

QMessageBox::Icon boxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Exclamation:
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Stop: return QMessageBox::Critical;
    case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

PromptButton QtPrompter::ask(const Prompt& prompt) {
    QMessageBox box(boxIcon(prompt.icon), prompt.title, prompt.text, QMessageBox::NoButton,
                    parent_);
    box.setTextFormat(Qt::PlainText);
    for (const auto& [ours, theirs] : kButtons) {
        if (!(prompt.buttons & int(ours))) continue;
        QPushButton* button = box.addButton(theirs);
        if (ours == prompt.defaultButton) box.setDefaultButton(button);
    }
    // A hidden button takes Escape and the close button, so neither is mistaken
    // for one of the caller's buttons.
    QPushButton* escape = box.addButton(QString(), QMessageBox::RejectRole);
    escape->hide();
    box.setEscapeButton(escape);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (!clicked || clicked == escape) return PromptButton::None;
    const QMessageBox::StandardButton pressed = box.standardButton(clicked);
    for (const auto& [ours, theirs] : kButtons)
        if (theirs == pressed) return ours;
    return PromptButton::None;
}

} // namespace ql

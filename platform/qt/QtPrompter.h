#pragma once
#include "platform/core/Prompter.h"

class QWidget;

namespace ql {

// Shows prompts as modal QMessageBoxes. Escape and closing the box answer
// PromptButton::None, whatever buttons the box has.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    PromptButton ask(const Prompt& prompt) override;

private:
    QWidget* parent_;
};

} // namespace ql

#include "platform/core/Prompter.h"
#include <cstdio>

namespace ql {

PromptButton StandardErrorPrompter::ask(const Prompt& prompt) {
    QString text = prompt.text;
    text.replace(u'\n', u' ');
    std::fprintf(stderr, "%s: %s\n", prompt.title.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    std::fflush(stderr);
    return PromptButton::None;
}

} // namespace ql

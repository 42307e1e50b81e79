#pragma once
#include <QString>
#include <vector>

namespace ql {

// Every message box and question of the program goes through a Prompter, so that
// views stay thin and tests can answer from a script.
enum class PromptIcon { None, Information, Exclamation, Question, Warning, Stop };

enum class PromptButton : int {
    None = 0, Ok = 1, Yes = 2, No = 4, Cancel = 8, Retry = 16, Abort = 32, Ignore = 64
};
using PromptButtons = int; // bitwise or of PromptButton values

struct Prompt {
    QString title;
    QString text;
    PromptButtons buttons = int(PromptButton::Ok);
    PromptButton defaultButton = PromptButton::Ok;
    PromptIcon icon = PromptIcon::None;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows the prompt and returns the button pressed; closing the box returns
    // PromptButton::None.
    virtual PromptButton ask(const Prompt& prompt) = 0;
    // False when prompts become lines on standard error rather than boxes:
    // what a run already printed there is not asked again.
    virtual bool showsWindows() const { return true; }
};

// For runs with no display to show a box on: each prompt becomes a line on
// standard error, "Title: text", and is answered as a closed box (None), so
// nothing is agreed to that nobody saw.
class StandardErrorPrompter : public Prompter {
public:
    PromptButton ask(const Prompt& prompt) override;
    bool showsWindows() const override { return false; }
};

// Test double: answers from a queue (None when the queue is empty) and records
// every prompt it was shown.
class ScriptedPrompter : public Prompter {
public:
    std::vector<PromptButton> answers;
    std::vector<Prompt> asked;
    PromptButton ask(const Prompt& prompt) override {
        asked.push_back(prompt);
        if (answers.empty()) return PromptButton::None;
        PromptButton answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
};

} // namespace ql

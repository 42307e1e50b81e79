#pragma once
#include <QString>
#include <vector>

namespace ql {

// One open or save dialog. The filter lists description and pattern pairs
// joined by "|": "Synchronization Files|*.SYN|All Files|*.*".
struct FileDialogRequest {
    QString title;
    QString filter;
    QString initialName;  // file name or path shown first
};

// The platform's file dialogs. The current folder is the same after a dialog
// as before it: tables resolve against it.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or an empty text when the dialog was cancelled.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual QString saveFile(const FileDialogRequest& request) = 0;
};

// Test double: answers from a queue (empty = cancelled) and records every request.
class ScriptedFileDialogs : public FileDialogs {
public:
    struct Asked {
        bool save = false;
        FileDialogRequest request;
    };
    std::vector<QString> answers;
    std::vector<Asked> asked;

    QString openFile(const FileDialogRequest& request) override { return answer(false, request); }
    QString saveFile(const FileDialogRequest& request) override { return answer(true, request); }

private:
    QString answer(bool save, const FileDialogRequest& request) {
        asked.push_back({save, request});
        if (answers.empty()) return {};
        QString chosen = answers.front();
        answers.erase(answers.begin());
        return chosen;
    }
};

} // namespace ql

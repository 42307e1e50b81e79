#pragma once
#include "platform/core/FileDialogs.h"

class QWidget;

namespace ql {

// Open and save dialogs through QFileDialog (Qt's own widgets, the same on
// every desktop). Patterns match either case: "*.SYN" also shows "x.syn".
class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;

    // "Text|*.TXT|All|*.*" as Qt writes filters: "Text (*.TXT *.txt);;All (*.*)".
    static QString qtFilter(const QString& filter);

private:
    QString run(const FileDialogRequest& request, bool save);
    QWidget* parent_;
};

} // namespace ql

#pragma once
#include "platform/core/Clipboard.h"
#include <QObject>

namespace ql {

// The desktop clipboard through QClipboard. The change count grows for every
// change, ours included. Without a QGuiApplication it holds nothing and ignores
// writes.
class QtClipboard : public QObject, public Clipboard {
    Q_OBJECT
public:
    explicit QtClipboard(QObject* parent = nullptr);
    QString text() override;
    // Marked for clipboard managers as a secret, so they do not keep a history of it.
    void setText(const QString& text) override;
    uint64_t changeCount() const override { return changes_; }

private:
    uint64_t changes_ = 0;
};

} // namespace ql

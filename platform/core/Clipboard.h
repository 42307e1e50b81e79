#pragma once
#include <QString>
#include <cstdint>

namespace ql {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual QString text() = 0;
    virtual void setText(const QString& text) = 0;
    // Grows each time the clipboard's owner or contents change, so callers can
    // skip reading an unchanged clipboard.
    virtual uint64_t changeCount() const = 0;
};

class FakeClipboard : public Clipboard {
public:
    QString contents;
    uint64_t changes = 0;
    QString text() override { return contents; }
    void setText(const QString& t) override { contents = t; ++changes; }
    uint64_t changeCount() const override { return changes; }
};

} // namespace ql

#pragma once
#include <QByteArray>
#include <QString>
#include <algorithm>
#include <functional>
#include <sodium.h>

namespace ql {

namespace wipe_hooks {
// Told of every block the growing helpers below give back, after it was
// wiped (tests look at it; empty otherwise).
inline std::function<void(const void* data, size_t size)>& released() {
    static std::function<void(const void*, size_t)> hook;
    return hook;
}
} // namespace wipe_hooks

namespace wipe_detail {
// The whole block, the room before and past the text included: text cut off
// at either end stays there.
template <typename Text, typename Unit>
void wipe(Text& text) {
    if (text.isDetached() && text.capacity() > 0) {
        auto& block = text.data_ptr();
        Unit* first = reinterpret_cast<Unit*>(text.data()) - block.freeSpaceAtBegin();
        const size_t bytes = size_t(block.constAllocatedCapacity()) * sizeof(Unit);
        sodium_memzero(first, bytes);
        if (wipe_hooks::released()) wipe_hooks::released()(first, bytes);
    }
    text.clear();
}
} // namespace wipe_detail

// Overwrites the text or bytes in place when nothing else shares them, then
// empties them. Shared data belongs to another holder and is left to it.
inline void wipeText(QString& text) { wipe_detail::wipe<QString, char16_t>(text); }
inline void wipeBytes(QByteArray& bytes) { wipe_detail::wipe<QByteArray, char>(bytes); }

namespace wipe_detail {
template <typename Text, typename Unit>
void reserve(Text& text, qsizetype needed) {
    if (needed <= text.size() + text.data_ptr().freeSpaceAtEnd()) return;
    Text grown;
    grown.reserve(std::max(needed, text.capacity() * 2));
    grown.append(text);
    text.swap(grown);
    wipe<Text, Unit>(grown); // now the old block
}
} // namespace wipe_detail

// Makes room for `needed` units in place of a plain growth, which would give
// the old block back to the allocator with its contents: a larger block is
// taken, the contents copied, and the old block wiped before it goes.
inline void reserveWiped(QByteArray& bytes, qsizetype needed) {
    wipe_detail::reserve<QByteArray, char>(bytes, needed);
}
inline void reserveWiped(QString& text, qsizetype needed) {
    wipe_detail::reserve<QString, char16_t>(text, needed);
}

// Puts `next` in place of `text`, wiping what `text` held first.
inline void replaceWiped(QString& text, QString&& next) {
    wipeText(text);
    text = std::move(next);
}

} // namespace ql

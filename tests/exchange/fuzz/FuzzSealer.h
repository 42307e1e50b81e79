#pragma once
// Builds well-sealed synchronization files around chosen clear entries, for
// the fuzz target and its seeds.
#include "exchange/SyncFormat.h"
#include "exchange/SyncKey.h"
#include <QByteArray>
#include <QList>
#include <sodium.h>

namespace ql::fuzz {

inline const SyncKey& fixedKey() {
    static const SyncKey key([] {
        SyncKey::Material m{};
        for (size_t i = 0; i < m.size(); ++i) m[i] = static_cast<unsigned char>(i * 13 + 1);
        return m;
    }());
    return key;
}

// A file whose messages are `entries` (and the final one unless `dropFinal`),
// announcing `count` entries in the header and the final message.
inline QByteArray seal(const QList<QByteArray>& entries, bool dropFinal, uint32_t count) {
    if (sodium_init() < 0) return {};
    sync_format::Header h;
    h.limits = sync_format::kLowest;
    h.count = count;
    h.check = fixedKey().checkFor(h);
    crypto_secretstream_xchacha20poly1305_state state;
    crypto_secretstream_xchacha20poly1305_init_push(&state, h.streamHeader.data(), fixedKey().streamKey());
    QByteArray out = h.encode();
    const QByteArray ad = h.authenticated();
    auto push = [&](const QByteArray& plain, unsigned char tag) {
        QByteArray sealed(plain.size() + qsizetype(crypto_secretstream_xchacha20poly1305_ABYTES), '\0');
        crypto_secretstream_xchacha20poly1305_push(
            &state, reinterpret_cast<unsigned char*>(sealed.data()), nullptr,
            reinterpret_cast<const unsigned char*>(plain.constData()), size_t(plain.size()),
            reinterpret_cast<const unsigned char*>(ad.constData()), size_t(ad.size()), tag);
        sync_format::putU32(out, uint32_t(sealed.size()));
        out += sealed;
    };
    for (const QByteArray& e : entries) push(e, crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
    if (!dropFinal) {
        QByteArray last;
        sync_format::putU32(last, count);
        push(last, crypto_secretstream_xchacha20poly1305_TAG_FINAL);
    }
    return out;
}

// [flags][u16 length][bytes]... as described in the fuzz target.
inline QByteArray sealFramed(const QByteArray& framed) {
    if (framed.isEmpty()) return {};
    const auto flags = static_cast<unsigned char>(framed[0]);
    QList<QByteArray> entries;
    qsizetype at = 1;
    while (at + 2 <= framed.size() && entries.size() < 1000) {
        const auto length = qsizetype(static_cast<unsigned char>(framed[at]) |
                                      static_cast<unsigned char>(framed[at + 1]) << 8);
        at += 2;
        entries << framed.mid(at, length);
        at += length;
    }
    return seal(entries, flags & 1, uint32_t(entries.size()) + ((flags & 2) ? 1 : 0));
}

// The framing of sealFramed for `entries`.
inline QByteArray frame(const QList<QByteArray>& entries, unsigned char flags = 0) {
    QByteArray out(1, char(flags));
    for (const QByteArray& e : entries) {
        out.append(char(e.size() & 0xff));
        out.append(char((e.size() >> 8) & 0xff));
        out += e;
    }
    return out;
}

} // namespace ql::fuzz

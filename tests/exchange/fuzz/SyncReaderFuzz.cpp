// libFuzzer target of the synchronization file reader. The first byte picks
// what the rest is:
//   even: a whole file, read as received (the key comes from the password
//         "pw" for files made with the lowest derivation cost, else a fixed
//         key that does not open them);
//   odd:  entries in clear, framed as [u16 length][bytes]..., sealed here
//         under a fixed key into an otherwise valid file, so the entry
//         decoder and the end-of-file checks are reached past the seal.
//         The second byte's low bit drops the final message, its next bit
//         announces one entry too many.
#include "tests/exchange/fuzz/FuzzSealer.h"
#include "exchange/SyncFileReader.h"
#include "store/Layouts.h"
#include <QBuffer>
#include <map>

using namespace ql;
using Status = SyncFileReader::Status;

namespace {

void readAll(QByteArray bytes, const SyncKey& key) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    SyncFileReader reader(buffer);
    if (reader.readHeader() != Status::Ok || reader.unlock(key) != Status::Ok) return;
    Record entry(syncFileTable());
    for (int guard = 0; guard < 100000 && reader.next(entry) == Status::Ok; ++guard) {}
}

// The key of a file's header for the password "pw", derived once per salt.
const SyncKey& keyFor(const sync_format::Header& header) {
    static std::map<std::array<unsigned char, sync_format::kSaltBytes>, SyncKey> keys;
    const bool cheap = header.limits.opsLimit == sync_format::kLowest.opsLimit &&
                       header.limits.memKiB == sync_format::kLowest.memKiB;
    if (!cheap || keys.size() > 64) return fuzz::fixedKey();
    auto found = keys.find(header.salt);
    if (found == keys.end()) found = keys.emplace(header.salt, *SyncKey::derive("pw", header)).first;
    return found->second;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (data[0] % 2 == 0) {
        const auto header = sync_format::Header::decode(rest);
        readAll(rest, header ? keyFor(*header) : fuzz::fixedKey());
    } else {
        readAll(fuzz::sealFramed(rest), fuzz::fixedKey());
    }
    return 0;
}

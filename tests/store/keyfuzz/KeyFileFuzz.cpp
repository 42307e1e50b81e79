// libFuzzer target of the key file reader: any bytes are decoded; a file
// that decodes must encode back to the same bytes, and its seal is tried
// with a fixed key (no passphrase derivation: its cost comes from the file).
#include "platform/datakey/DataKeySeal.h"
#include <cstdlib>

using namespace ql;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<KeyFile> file = KeyFile::decode(bytes);
    if (!file) return 0;
    if (file->encode() != bytes) std::abort();
    static const SecretBytes key(std::string(32, 'k').data(), 32);
    if (openDataKey(*file, key)) std::abort(); // the seeds are sealed under another key
    return 0;
}

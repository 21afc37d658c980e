// A save file read as the game reads it: as it is, and with its checksum made right so
// that the records behind it are read too. Whatever reads must write back the same bytes.
#include "app/save_format.h"

#include <cstring>
#include <memory>

namespace {

std::uint64_t HeaderWord(const std::uint8_t* at) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | at[i];
    return v;
}

void ReadAndCompare(const std::vector<std::uint8_t>& bytes) {
    // The identity the file names, so that mutations reach past the identity checks.
    GameIdentity identity = {0, 0};
    if (bytes.size() >= 28)
        identity = {HeaderWord(bytes.data() + 12), HeaderWord(bytes.data() + 20)};
    auto records = std::make_unique<SaveRecords>();
    if (DecodeSave(bytes.data(), bytes.size(), identity, records.get()) != SAVE_DECODED)
        return;
    std::vector<std::uint8_t> again;
    if (!EncodeSave(*records, identity, &again) || again != bytes)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    ReadAndCompare(bytes);
    if (size >= SAVE_CHECKSUM_BYTES) {
        const std::size_t body = size - SAVE_CHECKSUM_BYTES;
        const std::uint32_t crc = SaveChecksum(data, body);
        for (std::size_t i = 0; i < SAVE_CHECKSUM_BYTES; ++i)
            bytes[body + i] = static_cast<std::uint8_t>(crc >> (8 * i));
        ReadAndCompare(bytes);
    }
    return 0;
}

// The Ogg reader over arbitrary bytes: open, read block by block to the end,
// seek back into the middle and read again.
#include "sound/ogg_file_reader.h"

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int handle = memfd_create("ogg", MFD_CLOEXEC);
    if (handle < 0)
        return 0;
    if (write(handle, data, size) != ssize_t(size) || lseek(handle, 0, SEEK_SET) != 0) {
        close(handle);
        return 0;
    }
    sslib2::COggFileReader reader;
    if (!reader.OpenStream({handle, 0, std::uint32_t(size)}))
        return 0;
    sslib2::PcmFormat format = {};
    reader.GetFormat(&format);
    std::vector<std::uint8_t> block(33076);
    std::uint32_t count = 0;
    // A bound on the work, whatever length the stream claims.
    for (int i = 0; i < 64 && !reader.IsEnd(); i++)
        reader.Read(block.data(), std::uint32_t(block.size()), &count);
    if (reader.Seek(reader.GetLength() / 2))
        reader.Read(block.data(), std::uint32_t(block.size()), nullptr);
    reader.Tell();
    return 0;
}

#include "sound/wave_file_callbacks.h"

#include <cerrno>
#include <cstddef>
#include <unistd.h>

namespace sslib2 {
namespace {

std::size_t ReadSource(void* destination, std::size_t size, std::size_t count, void* data) {
    auto* source = static_cast<WaveFileSource*>(data);
    if (size != 0 && count > SIZE_MAX / size)
        return 0;
    std::size_t wanted = size * count;
    std::size_t done = 0;
    while (done < wanted) {
        ssize_t n = read(source->handle, static_cast<char*>(destination) + done, wanted - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    return done;
}

int SeekSource(void* data, ogg_int64_t offset, int whence) {
    auto* source = static_cast<WaveFileSource*>(data);
    // Only the low 32 bits take part, as a signed distance.
    auto distance = static_cast<std::int32_t>(static_cast<std::uint32_t>(offset));
    std::int64_t target;
    switch (whence) {
    case SEEK_SET:
        target = std::int64_t(source->base) + distance;
        break;
    case SEEK_CUR: {
        off_t current = lseek(source->handle, 0, SEEK_CUR);
        if (current < 0)
            return -1;
        target = std::int64_t(current) + distance;
        break;
    }
    case SEEK_END:
        target = std::int64_t(source->base) + source->length + distance;
        break;
    default:
        return -1;
    }
    if (target < 0 || lseek(source->handle, off_t(target), SEEK_SET) < 0)
        return -1;
    return 0;
}

int CloseSource(void* data) {
    auto* source = static_cast<WaveFileSource*>(data);
    int result = close(source->handle);
    *source = {INVALID_FILE_HANDLE, 0, 0};
    return result == 0 ? 0 : -1;
}

long TellSource(void* data) {
    auto* source = static_cast<WaveFileSource*>(data);
    off_t position = lseek(source->handle, 0, SEEK_CUR);
    if (position < 0)
        return -1;
    return long(position - off_t(source->base));
}

} // namespace

const ov_callbacks WAVE_FILE_CALLBACKS = {ReadSource, SeekSource, CloseSource, TellSource};

} // namespace sslib2

#pragma once
// The play length of an MP3 file, measured with libmpg123. The frame count is exact: the file
// is scanned frame by frame (headers only), and an Info frame's encoder delay and padding are
// left out. Anything the file itself gets wrong (missing, unreadable, no MPEG audio in it, cut
// short) gives the length of what decodes, 0 at worst, without a word; only a failure of the
// library itself (it cannot start a decoder) is raised, as Mp3LibraryError.
#include "platform/Seam.h"

#include <QString>
#include <cstdint>
#include <stdexcept>

namespace platform {

class Mp3LibraryError : public std::runtime_error {
public:
    explicit Mp3LibraryError(const std::string &what) : std::runtime_error(what) {}
};

class Mp3Length {
public:
    virtual ~Mp3Length() = default;
    // Play length in milliseconds, rounded to the nearest (halves to even).
    virtual std::int64_t playLengthMs(const QString &path) = 0;

    static Mp3Length &get() { return Seam<Mp3Length>::get(); }
};

std::unique_ptr<Mp3Length> makeMpg123Length();

template <> Seam<Mp3Length>::Factory &Seam<Mp3Length>::defaultFactory();

} // namespace platform

#pragma once
// What reading and writing through ImageMagick share: its set-up with our ceilings, and how a
// refusal past them is told from other errors.
#include "platform/imaging/ImageCodecs.h"

#include <Magick++.h>

#include <cstring>
#include <mutex>

namespace platform::codecs {

inline void initMagick()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        // Our own ceilings; the system policy may lower them further, never raise them. A
        // picture past them fails with a resource error, and no pixel cache ever goes to disk
        // (that would be a file written, which the reading process may not do). Our checks of
        // the pinged size come first; the side limits here are a backstop with room for a
        // metafile's renderer, which rounds its canvas up. What the pixels may take in memory
        // is bounded by the reading process's own limits.
        Magick::ResourceLimits::width(2 * kMaxImageSide);
        Magick::ResourceLimits::height(2 * kMaxImageSide);
        Magick::ResourceLimits::area(kMaxImagePixels);
        Magick::ResourceLimits::disk(0);
        // One thread: the reading process's time limit counts the time of all of them.
        Magick::ResourceLimits::thread(1);
    });
}

// ImageMagick refuses a picture past its limits either with a resource error or, for the
// side lengths, with an image error that says so.
inline bool isLimitError(const Magick::Exception &e)
{
    return dynamic_cast<const Magick::ErrorResourceLimit *>(&e) || std::strstr(e.what(), "exceeds limit");
}

} // namespace platform::codecs

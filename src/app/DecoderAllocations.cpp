// Linked into the picture reader's helper (and its test double) only. An allocation the
// system refuses (the helper is under an address-space limit) is told to the program through
// the notice descriptor before the decoder sees the null pointer: the decoder may then fail in
// its own way, or crash, and the program still knows that the memory ran out. The C library's
// allocator does the work; these only look at its answers.
#include "platform/imaging/PictureReaderProtocol.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <unistd.h>

// A sanitizer brings its own allocator, and its own memory limit.
#ifndef PELMORA_SANITIZED

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *pointer, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
}

namespace {

std::atomic<bool> noticed{false};

// The pointer an allocator gave for a request of something (asked is false for one of no bytes).
void *noted(void *pointer, bool asked)
{
    if (!pointer && asked && !noticed.exchange(true)) {
        const char notice = 'm';
        [[maybe_unused]] const ssize_t n = write(platform::readerproto::kNoticeFd, &notice, 1);
    }
    return pointer;
}

bool validAlignment(size_t alignment)
{
    return alignment >= sizeof(void *) && (alignment & (alignment - 1)) == 0;
}

} // namespace

extern "C" {

void *malloc(size_t size) { return noted(__libc_malloc(size), size > 0); }
void *calloc(size_t count, size_t size) { return noted(__libc_calloc(count, size), count > 0 && size > 0); }
void *realloc(void *pointer, size_t size) { return noted(__libc_realloc(pointer, size), size > 0); }
void *memalign(size_t alignment, size_t size) { return noted(__libc_memalign(alignment, size), size > 0); }
void *aligned_alloc(size_t alignment, size_t size) { return noted(__libc_memalign(alignment, size), size > 0); }

int posix_memalign(void **out, size_t alignment, size_t size)
{
    if (!validAlignment(alignment))
        return EINVAL;
    void *pointer = noted(__libc_memalign(alignment, size), true);
    if (!pointer)
        return ENOMEM;
    *out = pointer;
    return 0;
}

} // extern "C"

#endif

#include "platform/audio/Mp3Length.h"

#include <QFile>

#include <fcntl.h>
#include <mpg123.h>
#include <unistd.h>

namespace platform {
namespace {

// samples * 1000 / rate, to the nearest millisecond, halves to even.
std::int64_t samplesToMs(std::int64_t samples, long rate)
{
    if (samples <= 0 || rate <= 0)
        return 0;
    const std::int64_t scaled = samples * 1000;
    std::int64_t q = scaled / rate;
    const std::int64_t twice = 2 * (scaled % rate);
    if (twice > rate || (twice == rate && (q & 1)))
        ++q;
    return q;
}

class Decoder {
public:
    Decoder()
    {
        static const int initialised = mpg123_init();
        if (initialised != MPG123_OK)
            throw Mp3LibraryError(mpg123_plain_strerror(initialised));
        int err = MPG123_OK;
        handle_ = mpg123_new(nullptr, &err);
        if (!handle_)
            throw Mp3LibraryError(mpg123_plain_strerror(err));
        // Quiet, and the encoder's delay and padding left out where an Info frame tells them.
        mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    }
    ~Decoder()
    {
        if (handle_) {
            mpg123_close(handle_);
            mpg123_delete(handle_);
        }
    }
    Decoder(const Decoder &) = delete;
    Decoder &operator=(const Decoder &) = delete;

    mpg123_handle *get() const { return handle_; }

private:
    mpg123_handle *handle_ = nullptr;
};

class FileDescriptor {
public:
    explicit FileDescriptor(const QString &path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC))
    {
    }
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

class Mpg123Length final : public Mp3Length {
public:
    std::int64_t playLengthMs(const QString &path) override
    {
        Decoder decoder;
        FileDescriptor file(path);
        if (file.get() < 0)
            return 0;
        mpg123_handle *mh = decoder.get();
        if (mpg123_open_fd(mh, file.get()) != MPG123_OK)
            return 0;
        long rate = 0;
        int channels = 0, encoding = 0;
        // Reads up to the first frame; a file without MPEG audio fails here, after the
        // library's resync limit rather than after reading all of it.
        if (mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK)
            return 0;
        // Count the frames. libmpg123 reports its positions as accurate right after opening any
        // file, Info frame or not, so that state cannot tell whether the header's count is there;
        // a header count would also outlast a file cut short. Counting reads frame headers only;
        // where it stops early, the length is the library's estimate.
        mpg123_scan(mh);
        const off_t samples = mpg123_length(mh);
        if (samples == MPG123_ERR)
            return 0;
        return samplesToMs(std::int64_t(samples), rate);
    }
};

} // namespace

std::unique_ptr<Mp3Length> makeMpg123Length() { return std::make_unique<Mpg123Length>(); }

template <> Seam<Mp3Length>::Factory &Seam<Mp3Length>::defaultFactory()
{
    static Factory f = &makeMpg123Length;
    return f;
}

} // namespace platform

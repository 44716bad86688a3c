#include "platform/audio/Mp3Length.h"

#include "platform/files/RegularFile.h"

#include <QFile>

#include <cstring>
#include <mpg123.h>

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

// The file's bytes, mapped, as the decoder reads them: no system call per frame.
struct MappedFile {
    const uchar *data = nullptr;
    qint64 size = 0;
    qint64 pos = 0;
};

ssize_t readMapped(void *handle, void *buffer, size_t count)
{
    auto *f = static_cast<MappedFile *>(handle);
    const qint64 n = std::min<qint64>(qint64(count), f->size - f->pos);
    if (n <= 0)
        return 0;
    std::memcpy(buffer, f->data + f->pos, size_t(n));
    f->pos += n;
    return ssize_t(n);
}

off_t seekMapped(void *handle, off_t offset, int whence)
{
    auto *f = static_cast<MappedFile *>(handle);
    qint64 target = offset;
    if (whence == SEEK_CUR)
        target += f->pos;
    else if (whence == SEEK_END)
        target += f->size;
    if (target < 0 || target > f->size)
        return off_t(-1);
    f->pos = target;
    return off_t(target);
}

class Mpg123Length final : public Mp3Length {
public:
    ~Mpg123Length() override
    {
        if (handle_)
            mpg123_delete(handle_);
    }

    std::int64_t playLengthMs(const QString &path) override
    {
        mpg123_handle *mh = decoder();
        QFile file;
        if (!openRegularFile(file, path) || file.size() <= 0)
            return 0;
        MappedFile mapped;
        mapped.size = file.size();
        mapped.data = file.map(0, mapped.size);
        if (!mapped.data)
            return 0;
        if (mpg123_open_handle(mh, &mapped) != MPG123_OK)
            return 0;
        struct Closer {
            mpg123_handle *mh;
            ~Closer() { mpg123_close(mh); }
        } closer{mh};
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

private:
    // One decoder for every file, made on first use.
    mpg123_handle *decoder()
    {
        if (handle_)
            return handle_;
        static const int initialised = mpg123_init();
        if (initialised != MPG123_OK)
            throw Mp3LibraryError(mpg123_plain_strerror(initialised));
        int err = MPG123_OK;
        mpg123_handle *mh = mpg123_new(nullptr, &err);
        if (!mh)
            throw Mp3LibraryError(mpg123_plain_strerror(err));
        // Quiet, and the encoder's delay and padding left out where an Info frame tells them.
        if (mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0) != MPG123_OK ||
            mpg123_replace_reader_handle(mh, &readMapped, &seekMapped, nullptr) != MPG123_OK) {
            const std::string why = mpg123_strerror(mh);
            mpg123_delete(mh);
            throw Mp3LibraryError(why);
        }
        handle_ = mh;
        return handle_;
    }

    mpg123_handle *handle_ = nullptr;
};

} // namespace

std::unique_ptr<Mp3Length> makeMpg123Length() { return std::make_unique<Mpg123Length>(); }

template <> Seam<Mp3Length>::Factory &Seam<Mp3Length>::defaultFactory()
{
    static Factory f = &makeMpg123Length;
    return f;
}

} // namespace platform

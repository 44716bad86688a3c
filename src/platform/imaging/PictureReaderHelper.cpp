// The helper's side of the picture reader: one request, one picture, one answer. The program
// has set the process's limits before it sends the request. Here the helper follows the
// program, says it is ready, takes the request with the descriptor of the picture's bytes,
// loads what the picture's decoder would load while it decodes, shuts itself in (see
// PictureReaderSandbox.cpp) and only then hands the bytes to the decoder; the pixels go into
// the memfd the program maps.
#include "platform/imaging/PictureReader.h"

#include "platform/imaging/ImageDecoding.h"
#include "platform/imaging/PictureReaderProtocol.h"
#include "platform/imaging/PictureReaderSandbox.h"
#include "platform/imaging/codecs/CodecSupport.h"
#include "platform/process/HelperChannel.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QThreadPool>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <memory>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/prctl.h>
#include <unistd.h>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace platform {

using namespace readerproto;

namespace {

// How long the helper waits for the size of a preview; the program answers at once. For its
// request it waits as long as the program lets it: a helper may be started ahead of a load.
constexpr int kRequestWaitMs = 30000;

// The memfd the program gave for the pixels: sized and mapped for a picture, rows of
// 4 x width bytes.
class SharedPixels {
public:
    explicit SharedPixels(int fd) : fd_(fd) {}

    // Makes the memory of a picture of bytes ahead, while the helper waits: a picture of about
    // that size is then decoded into memory that is there already.
    void prepare(qint64 bytes)
    {
        if (bytes > 0 && ftruncate(fd_, off_t(bytes)) == 0)
            mapBytes(bytes);
    }
    SharedPixels(const SharedPixels &) = delete;
    SharedPixels &operator=(const SharedPixels &) = delete;

    // A picture over the memory, for a decoder to decode into; null when there is none.
    QImage wrap(QSize size, QImage::Format format)
    {
        if (!map(size))
            return {};
        return QImage(static_cast<uchar *>(address_), size.width(), size.height(), 4 * size.width(), format);
    }

    // Puts the picture into the memory, unless a decoder decoded it there already.
    bool store(QImage image)
    {
        if (holds(image))
            return true;
        if (inside(image))
            image = image.copy(); // in the memory, but not as the program reads it
        if (!map(image.size()))
            return false;
        for (int y = 0; y < image.height(); ++y)
            std::memcpy(static_cast<uchar *>(address_) + qsizetype(y) * 4 * image.width(), image.constScanLine(y),
                        size_t(image.width()) * 4);
        return true;
    }

private:
    bool inside(const QImage &image) const
    {
        const auto *bits = image.constBits();
        const auto *start = static_cast<const uchar *>(address_);
        return address_ && bits >= start && bits < start + length_;
    }
    bool holds(const QImage &image) const
    {
        return inside(image) && image.constBits() == address_ && image.format() == QImage::Format_ARGB32_Premultiplied &&
               image.bytesPerLine() == 4 * image.width() && length_ == size_t(image.sizeInBytes());
    }
    bool map(QSize size)
    {
        const qint64 bytes = qint64(4) * size.width() * size.height();
        if (address_ && qint64(length_) == bytes)
            return true;
        if (address_)
            munmap(address_, length_);
        address_ = nullptr;
        length_ = 0;
        return bytes > 0 && ftruncate(fd_, off_t(bytes)) == 0 && mapBytes(bytes);
    }
    bool mapBytes(qint64 bytes)
    {
        void *address = mmap(nullptr, size_t(bytes), PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
        if (address == MAP_FAILED)
            return false;
        // The pages are made in one go rather than one fault at a time as the decoder writes;
        // an older kernel makes them as they are written.
        madvise(address, size_t(bytes), MADV_POPULATE_WRITE);
        address_ = address;
        length_ = size_t(bytes);
        return true;
    }

    const int fd_;
    void *address_ = nullptr;
    size_t length_ = 0;
};

// What the decoders of the usual pictures (photos and PNGs) load while they first decode
// (their plugins, their code, the calls into their libraries), done while the helper waits for
// its picture: a small picture of each is written and read.
void warmUp()
{
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::darkCyan);
    for (const char *format : {"jpeg", "png"}) {
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        QImageWriter(&buffer, format).write(small);
        buffer.seek(0);
        QImageReader reader(&buffer, format);
        reader.setAutoDetectImageFormat(false);
        reader.read();
    }
}

// The picture's bytes where they are, mapped, for a file or a picture held in memory; else
// read. The mapping lasts as long as the helper.
CodecResult pictureBytes(int fd, QByteArray &data)
{
    struct stat st{};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 && st.st_size <= kMaxPictureFileBytes) {
        const void *address = mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (address != MAP_FAILED) {
            data = QByteArray::fromRawData(static_cast<const char *>(address), qsizetype(st.st_size));
            return codecs::succeeded();
        }
    }
    return readPictureBytes(fd, data);
}

// True when a message waits on the socket.
bool waiting(int socket)
{
    pollfd p{socket, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
}

// Where the helper's picture may read files from: none, but a metafile's fonts (and, under a
// sanitizer, the memory figure its limit is kept by).
QStringList readableFiles(const DecoderNeeds &needs)
{
    QStringList readable = needs.fonts ? fontFolders() : QStringList();
#ifdef PELMORA_SANITIZED
    readable << QStringLiteral("/proc/%1/statm").arg(getpid());
#endif
    return readable;
}

int gArgc = 1;
char gProgramName[] = "pelmora-decoder";
char *gArgv[] = {gProgramName, nullptr};

} // namespace

int runPictureReader(int argc, char **argv, const PictureReaderHooks &hooks)
{
    // It ends with the program, cannot be looked into by others, and holds no descriptor but
    // its own.
    if (!helper::followProgram())
        return 2;
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    close_range(kNoticeFd + 1, ~0U, 0);
    std::signal(SIGPIPE, SIG_IGN);
    // One allocator arena: every arena reserves its own address space under the limit.
    mallopt(M_ARENA_MAX, 1);
    // The protocol keeps the socket to itself: what libraries print goes to standard error.
    const int socket = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 10);
    const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (socket < 0 || null < 0)
        return 2;
    dup2(null, STDIN_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    close(null);
    if (!helper::sendMessage(socket, readyAnswer()))
        return 2;
    // A helper started ahead of a load gets ready for the usual pictures while it waits, the
    // memory of the picture it expects included; one started for a load that is waiting gets
    // ready for that picture only.
    SharedPixels shared(kPixelsFd);
    Sandbox sandbox;
    QString why;
    std::unique_ptr<QCoreApplication> app;
    if (!waiting(socket)) {
        app = std::make_unique<QCoreApplication>(gArgc, gArgv);
        warmUp();
        if (argc > 1 && std::strncmp(argv[1], "--pixels=", 9) == 0)
            shared.prepare(std::strtoll(argv[1] + 9, nullptr, 10));
        sandbox.prepare({socket, readableFiles({})}, why);
    }

    QByteArray message;
    std::vector<int> passed;
    if (!helper::receiveMessage(socket, message, -1, kMaxMessage, {}, &passed))
        return 2;
    const std::optional<Request> request = decodeRequest(message);
    if (!request || passed.size() != 1)
        return 2;
    QByteArray data;
    const CodecResult readBytes = pictureBytes(passed[0], data);
    close(passed[0]);
    const bool fromFile = request->kind != Kind::Data;
    const DecoderNeeds needs = decoderNeeds(data, request->name, fromFile);

    // Text in a metafile is drawn with the fonts of a GUI application; ImageMagick's module is
    // found beside the program; Qt's readers need no application.
    if (needs.decoder == Decoder::Metafile && !qobject_cast<QGuiApplication *>(app.get())) {
        app.reset();
        app = std::make_unique<QGuiApplication>(gArgc, gArgv);
    } else if (!app && needs.decoder == Decoder::Magick) {
        app = std::make_unique<QCoreApplication>(gArgc, gArgv);
    }
    QThreadPool::globalInstance()->setMaxThreadCount(1); // one core: the time limit counts them all
    // An application takes the user's locale; the decoders write and read back numbers (the
    // drawing commands ImageMagick makes of a WMF) as the C library's locale says, and not all
    // of them read a decimal comma back. The helper shows no numbers to anyone.
    std::setlocale(LC_NUMERIC, "C");
    Result result;
    if (!prepareDecoder(needs, why))
        result = {CodecError::CannotDecode, QStringLiteral("The picture's reader cannot be loaded: %1").arg(why), {}, {},
                  {}};
    if (hooks.beforeSandbox)
        hooks.beforeSandbox(request->name);
    const SandboxPlan plan{socket, readableFiles(needs)};
    if ((!sandbox.prepared(plan) && !sandbox.prepare(plan, why)) || !sandbox.enter(why)) {
        // Nothing is read that the helper cannot be kept from turning against the user.
        helper::sendMessage(socket, resultAnswer({CodecError::Unsafe, why, {}, {}, {}}));
        _exit(0);
    }

    if (hooks.beforeDecode)
        hooks.beforeDecode(request->name);
    const PixelAllocator allocate = [&shared](QSize size, QImage::Format format) { return shared.wrap(size, format); };
    QImage image;
    QSize original;
    CodecResult decoded = readBytes;
    if (result.error != CodecError::None) {
        decoded = {false, result.error, result.message, {}};
    } else if (decoded.ok) {
        switch (request->kind) {
        case Kind::File: decoded = decodeFileBytes(data, request->name, image, allocate); break;
        case Kind::Data: decoded = decodeImageData(data, request->name, image, allocate); break;
        case Kind::Preview:
            decoded = decodePreviewBytes(
                data, request->name,
                [socket, &hooks](QSize size) {
                    QByteArray reply;
                    if (!helper::sendMessage(socket, sizeAnswer(size)) ||
                        !helper::receiveMessage(socket, reply, kRequestWaitMs, kMaxMessage))
                        _exit(2);
                    std::optional<QSize> target = decodeTarget(reply);
                    if (!target)
                        _exit(2);
                    if (hooks.previewTarget)
                        hooks.previewTarget(*target);
                    return *target;
                },
                image, original);
            break;
        }
    }
    data = QByteArray();

    result = {decoded.error, decoded.message, decoded.size, {}, original};
    if (decoded.ok) {
        if (shared.store(image)) {
            result.pixels = image.size();
        } else {
            result.error = CodecError::TooLarge;
            result.message = QStringLiteral("Not enough memory for the picture.");
        }
    }
    if (hooks.beforeAnswer)
        hooks.beforeAnswer(result);
    // The program maps the pixels as soon as the answer is there and ends the helper: what
    // it holds is not freed first.
    _exit(helper::sendMessage(socket, resultAnswer(result)) ? 0 : 2);
}

} // namespace platform

// Any bytes as an answer of the picture reader's helper (and as the request and target the
// helper reads), through the readers of both sides: an answer is read whole or not at all, and
// what is read is within the values an answer may hold.
#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/PictureReaderProtocol.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace platform::readerproto;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const std::optional<Answered> a = decodeAnswer(bytes)) {
        if (a->type == Answer::Size && !a->size.isValid())
            __builtin_trap();
        // A helper speaks of its picture only: never of the reader itself, nor that it is busy.
        const int e = a->result.error;
        if (a->type == Answer::Result &&
            ((e != platform::CodecError::None && e != platform::CodecError::NotSupported &&
              e != platform::CodecError::CannotDecode && e != platform::CodecError::TooLarge &&
              e != platform::CodecError::Unsafe) ||
             a->result.message.size() > kMaxText))
            __builtin_trap();
    }
    if (const std::optional<Request> r = decodeRequest(bytes); r && (r->kind < Kind::File || r->kind > Kind::Preview))
        __builtin_trap();
    decodeTarget(bytes);
    return 0;
}

#include "tracklists/TextLineReader.h"

#include "platform/files/RegularFile.h"
#include "platform/ini/TextCodec.h"

#include <QStringDecoder>
#include <algorithm>

namespace {

// Valid UTF-8, also when the bytes end inside a character that the rest of the file completes.
bool validUtf8Head(QByteArrayView head, bool more)
{
    if (platform::TextCodec::isValidUtf8(head))
        return true;
    if (!more)
        return false;
    for (qsizetype k = 1; k <= 3 && k < head.size(); ++k) {
        const auto lead = static_cast<unsigned char>(head[head.size() - k]);
        const qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length > k)
            return platform::TextCodec::isValidUtf8(head.first(head.size() - k));
        if (lead < 0x80 || lead >= 0xC0)
            return false;
    }
    return false;
}

} // namespace

bool TextLineReader::open(const QString &path)
{
    if (!platform::openRegularFile(file_, path)) {
        refusal_ = Refusal::CannotOpen;
        return false;
    }
    device_ = &file_;
    return start();
}

bool TextLineReader::open(QIODevice *device)
{
    device_ = device;
    if (!device_ || !device_->isReadable()) {
        refusal_ = Refusal::CannotOpen;
        return false;
    }
    return start();
}

bool TextLineReader::start()
{
    buffer_ = device_->read(kHeadBytes);
    consumed_ = buffer_.size();
    const QByteArrayView head(buffer_);
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
        encoding_ = head.startsWith("\xFF\xFE") ? Encoding::Utf16LE : Encoding::Utf16BE;
        unit_ = 2;
        pos_ = 2;
        return true;
    }
    if (head.contains('\0')) {
        refusal_ = Refusal::NotText;
        return false;
    }
    if (head.startsWith("\xEF\xBB\xBF")) {
        encoding_ = Encoding::Utf8;
        pos_ = 3;
        return true;
    }
    const bool more = !device_->atEnd();
    encoding_ = validUtf8Head(head, more) ? Encoding::Utf8 : Encoding::Windows1252;
    return true;
}

bool TextLineReader::refill()
{
    if (atEnd_ || refusal_ != Refusal::None)
        return false;
    // Never more than one byte past the limit, so that a file too large is known as such.
    const QByteArray more = device_->read(std::min(kHeadBytes, kMaxFileBytes + 1 - consumed_));
    if (more.isEmpty()) {
        atEnd_ = true;
        return false;
    }
    consumed_ += more.size();
    if (consumed_ > kMaxFileBytes) {
        refusal_ = Refusal::TooLarge;
        return false;
    }
    buffer_ = buffer_.mid(pos_) + more;
    pos_ = 0;
    return true;
}

bool TextLineReader::mayReadAll()
{
    if (refusal_ != Refusal::None)
        return false;
    if (device_ && !device_->isSequential() && device_->size() > kMaxFileBytes) {
        refusal_ = Refusal::TooLarge;
        return false;
    }
    return true;
}

bool TextLineReader::isBreak(qsizetype at, char16_t what) const
{
    const char c = char(what);
    switch (encoding_) {
    case Encoding::Utf16LE: return buffer_[at] == c && buffer_[at + 1] == '\0';
    case Encoding::Utf16BE: return buffer_[at] == '\0' && buffer_[at + 1] == c;
    default: return buffer_[at] == c;
    }
}

QString TextLineReader::decode(const QByteArray &line) const
{
    // A byte order mark at the start of a line is a character of the text: only the file's
    // own mark, skipped at its start, is none.
    const auto decoded = [&](QStringDecoder::Encoding e) -> QString {
        QStringDecoder decoder(e, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(line);
    };
    switch (encoding_) {
    case Encoding::Utf8: return decoded(QStringDecoder::Utf8);
    case Encoding::Windows1252: return platform::TextCodec::decode(line, platform::TextEncoding::Windows1252);
    case Encoding::Utf16LE: return decoded(QStringDecoder::Utf16LE);
    case Encoding::Utf16BE: return decoded(QStringDecoder::Utf16BE);
    }
    return QString();
}

std::optional<QString> TextLineReader::refuse(Refusal why)
{
    refusal_ = why;
    buffer_.clear();
    pos_ = 0;
    return std::nullopt;
}

std::optional<QString> TextLineReader::next()
{
    if (refusal_ != Refusal::None || !device_)
        return std::nullopt;
    QByteArray line;
    for (;;) {
        if (buffer_.size() - pos_ < unit_ && !refill()) {
            if (refusal_ != Refusal::None)
                return refuse(refusal_);
            // The end: a last line without a line end, and an odd byte a UTF-16 file ends in.
            line += buffer_.mid(pos_);
            pos_ = buffer_.size();
            if (line.isEmpty())
                return std::nullopt;
            return decode(line);
        }
        if (skipLineFeed_) {
            skipLineFeed_ = false;
            if (isBreak(pos_, u'\n')) {
                pos_ += unit_;
                continue;
            }
        }
        const qsizetype end = buffer_.size() - (buffer_.size() - pos_) % unit_;
        qsizetype at = pos_;
        while (at < end && !isBreak(at, u'\n') && !isBreak(at, u'\r'))
            at += unit_;
        line.append(buffer_.constData() + pos_, at - pos_);
        if (line.size() > kMaxLineBytes)
            return refuse(Refusal::LineTooLong);
        if (at < end) {
            skipLineFeed_ = isBreak(at, u'\r');
            pos_ = at + unit_;
            return decode(line);
        }
        pos_ = at;
    }
}

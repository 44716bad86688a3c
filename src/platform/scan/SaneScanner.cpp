// The real scanner: libsane, which loads the backends listed in dll.conf of its configuration
// folder (/etc/sane.d, or $SANE_CONFIG_DIR).
#include "platform/Rounding.h"
#include "platform/scan/Scanner.h"

#include <QMutex>
#include <QMutexLocker>

#include <sane/sane.h>

#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <vector>

namespace platform {

namespace {

// sane_init and sane_exit act on the whole process: one counted session for every user.
QMutex &sessionMutex()
{
    static QMutex m;
    return m;
}
int &sessionCount()
{
    static int n = 0;
    return n;
}

QString text(SANE_String_Const s) { return s ? QString::fromUtf8(s) : QString(); }

// Some backends leave a reader thread behind that is still finishing when the device has
// been closed; were the backend unloaded at the end of the session, that thread would run on
// in freed code. The backends loaded so far stay loaded for the life of the program.
void keepBackendsLoaded()
{
    dl_iterate_phdr(
        [](struct dl_phdr_info *info, size_t, void *) {
            const char *name = info->dlpi_name;
            if (name && std::strstr(name, "/sane/libsane-"))
                dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

ScanParameters::Frame frameOf(SANE_Frame f)
{
    switch (f) {
    case SANE_FRAME_GRAY: return ScanParameters::Frame::Gray;
    case SANE_FRAME_RGB: return ScanParameters::Frame::Rgb;
    case SANE_FRAME_RED: return ScanParameters::Frame::Red;
    case SANE_FRAME_GREEN: return ScanParameters::Frame::Green;
    case SANE_FRAME_BLUE: return ScanParameters::Frame::Blue;
    default: return ScanParameters::Frame::Other;
    }
}

class SaneDeviceHandle final : public ScanDeviceHandle {
public:
    SaneDeviceHandle(SANE_Handle h, QString name) : h_(h), name_(std::move(name)) {}
    ~SaneDeviceHandle() override { sane_close(h_); }

    QString name() const override { return name_; }

    std::optional<ScanOption> option(const QByteArray &name) override
    {
        const int index = find(name);
        if (index < 0)
            return std::nullopt;
        const SANE_Option_Descriptor *d = sane_get_option_descriptor(h_, index);
        ScanOption o;
        o.title = text(d->title);
        o.active = SANE_OPTION_IS_ACTIVE(d->cap);
        o.settable = SANE_OPTION_IS_SETTABLE(d->cap);
        switch (d->type) {
        case SANE_TYPE_BOOL: o.kind = ScanOption::Kind::Bool; break;
        case SANE_TYPE_INT: o.kind = ScanOption::Kind::Int; break;
        case SANE_TYPE_FIXED: o.kind = ScanOption::Kind::Fixed; break;
        case SANE_TYPE_STRING: o.kind = ScanOption::Kind::String; break;
        case SANE_TYPE_BUTTON: o.kind = ScanOption::Kind::Button; break;
        default: o.kind = ScanOption::Kind::Group; break;
        }
        const bool fixed = d->type == SANE_TYPE_FIXED;
        const auto number = [fixed](SANE_Word w) { return fixed ? SANE_UNFIX(w) : double(w); };
        if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST && d->constraint.string_list) {
            for (const SANE_String_Const *s = d->constraint.string_list; *s; ++s)
                o.strings << text(*s);
        } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list) {
            const SANE_Word *w = d->constraint.word_list;
            for (SANE_Word i = 1; i <= w[0]; ++i)
                o.values << number(w[i]);
        } else if (d->constraint_type == SANE_CONSTRAINT_RANGE && d->constraint.range) {
            o.hasRange = true;
            o.min = number(d->constraint.range->min);
            o.max = number(d->constraint.range->max);
            o.step = number(d->constraint.range->quant);
        }
        if (o.active && d->size > 0 && d->type != SANE_TYPE_BUTTON && d->type != SANE_TYPE_GROUP) {
            std::vector<unsigned char> buf(size_t(d->size) + 1, 0);
            if (sane_control_option(h_, index, SANE_ACTION_GET_VALUE, buf.data(), nullptr)
                == SANE_STATUS_GOOD) {
                SANE_Word w = 0;
                if (d->size == SANE_Int(sizeof(SANE_Word)))
                    memcpy(&w, buf.data(), sizeof w);
                if (d->type == SANE_TYPE_STRING)
                    o.value = QString::fromUtf8(reinterpret_cast<const char *>(buf.data()));
                else if (d->size == SANE_Int(sizeof(SANE_Word)))
                    o.value = d->type == SANE_TYPE_BOOL ? QVariant(w != SANE_FALSE) : QVariant(number(w));
            }
        }
        return o;
    }

    int setOption(const QByteArray &name, const QVariant &value) override
    {
        const int index = find(name);
        if (index < 0)
            return ScanStatus::Unsupported;
        const SANE_Option_Descriptor *d = sane_get_option_descriptor(h_, index);
        if (!SANE_OPTION_IS_ACTIVE(d->cap) || !SANE_OPTION_IS_SETTABLE(d->cap))
            return ScanStatus::Inval;
        SANE_Int info = 0;
        switch (d->type) {
        case SANE_TYPE_STRING: {
            QByteArray s = value.toString().toUtf8();
            if (s.size() >= d->size)
                return ScanStatus::Inval;
            s.resize(d->size, '\0');
            return sane_control_option(h_, index, SANE_ACTION_SET_VALUE, s.data(), &info);
        }
        case SANE_TYPE_BOOL: {
            SANE_Bool b = value.toBool() ? SANE_TRUE : SANE_FALSE;
            return sane_control_option(h_, index, SANE_ACTION_SET_VALUE, &b, &info);
        }
        case SANE_TYPE_INT: {
            SANE_Word w = roundToInt(value.toDouble());
            return sane_control_option(h_, index, SANE_ACTION_SET_VALUE, &w, &info);
        }
        case SANE_TYPE_FIXED: {
            SANE_Word w = SANE_FIX(value.toDouble());
            return sane_control_option(h_, index, SANE_ACTION_SET_VALUE, &w, &info);
        }
        default:
            return ScanStatus::Unsupported;
        }
    }

    int start() override { return sane_start(h_); }

    int parameters(ScanParameters &out) override
    {
        SANE_Parameters p{};
        const SANE_Status st = sane_get_parameters(h_, &p);
        if (st != SANE_STATUS_GOOD)
            return st;
        out.frame = frameOf(p.format);
        out.lastFrame = p.last_frame != SANE_FALSE;
        out.bytesPerLine = p.bytes_per_line;
        out.pixelsPerLine = p.pixels_per_line;
        out.lines = p.lines;
        out.depth = p.depth;
        return ScanStatus::Good;
    }

    int read(unsigned char *buffer, int maxLength, int &length) override
    {
        SANE_Int n = 0;
        const SANE_Status st = sane_read(h_, buffer, maxLength, &n);
        length = n;
        return st;
    }

    void cancel() override { sane_cancel(h_); }

private:
    int find(const QByteArray &name) const
    {
        for (SANE_Int i = 1;; ++i) {
            const SANE_Option_Descriptor *d = sane_get_option_descriptor(h_, i);
            if (!d)
                return -1;
            if (d->name && name == d->name)
                return i;
        }
    }

    SANE_Handle h_;
    QString name_;
};

class SaneScanner final : public Scanner {
public:
    int beginSession() override
    {
        QMutexLocker lock(&sessionMutex());
        if (sessionCount() == 0) {
            SANE_Int version = 0;
            const SANE_Status st = sane_init(&version, nullptr);
            if (st != SANE_STATUS_GOOD)
                return st;
        }
        ++sessionCount();
        return ScanStatus::Good;
    }

    void endSession() override
    {
        QMutexLocker lock(&sessionMutex());
        if (sessionCount() == 0)
            return;
        if (--sessionCount() == 0) {
            keepBackendsLoaded();
            sane_exit();
        }
    }

    int devices(QList<ScanDevice> &out) override
    {
        out.clear();
        const SANE_Device **list = nullptr;
        const SANE_Status st = sane_get_devices(&list, SANE_FALSE);
        if (st != SANE_STATUS_GOOD)
            return st;
        for (; list && *list; ++list)
            out.push_back({text((*list)->name), text((*list)->vendor), text((*list)->model),
                           text((*list)->type)});
        return ScanStatus::Good;
    }

    int open(const QString &deviceName, std::unique_ptr<ScanDeviceHandle> &out) override
    {
        SANE_Handle h = nullptr;
        const SANE_Status st = sane_open(deviceName.toUtf8().constData(), &h);
        if (st != SANE_STATUS_GOOD)
            return st;
        out = std::make_unique<SaneDeviceHandle>(h, deviceName);
        return ScanStatus::Good;
    }

    QString statusText(int status) const override
    {
        return text(sane_strstatus(SANE_Status(status)));
    }
};

} // namespace

std::unique_ptr<Scanner> makeSaneScanner() { return std::make_unique<SaneScanner>(); }

} // namespace platform

#include "platform/ui/DeferredIconStyle.h"

#include <QCoreApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QPointer>

namespace platform {
namespace {

// One of the style's icons, asked of it when first drawn or measured.
class DeferredIcon : public QIconEngine {
public:
    DeferredIcon(const QStyle *style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("DeferredIcon"); }
    QIconEngine *clone() const override { return new DeferredIcon(*this); }

private:
    const QIcon &icon()
    {
        if (!read_) {
            if (style_)
                icon_ = style_->standardIcon(which_);
            read_ = true;
        }
        return icon_;
    }

    QPointer<const QStyle> style_;
    QStyle::StandardPixmap which_;
    QIcon icon_;
    bool read_ = false;
};

} // namespace

DeferredIconStyle::DeferredIconStyle()
{
    // Loaded as the style loads it, while the plugin folders are hidden: the image-format
    // plugins are looked for the first time a picture is read, and only in the folders known
    // then; they are found on the next picture read after the folders are back. The pixmap
    // stays in Qt's pixmap cache under the key the style asks for.
    const QStringList folders = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    QPixmap(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"));
    QCoreApplication::setLibraryPaths(folders);
}

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                      const QWidget *widget) const
{
    if (!option && (standardIcon == SP_ToolBarHorizontalExtensionButton || standardIcon == SP_ToolBarVerticalExtensionButton))
        return QIcon(new DeferredIcon(baseStyle(), standardIcon));
    return QProxyStyle::standardIcon(standardIcon, option, widget);
}

} // namespace platform

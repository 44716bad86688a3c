#include "platform/imaging/ImgxCanvas.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace platform {

ImgxCanvas::ImgxCanvas(QWidget *parent) : QWidget(parent), image_(ImgxImage::create())
{
    image_->setUndoLevels(kUndoLevels);
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    overlay_.changed = [this] {
        if (redraw_)
            update();
    };
}

void ImgxCanvas::setImage(ImgxImagePtr image)
{
    image_ = image ? std::move(image) : ImgxImage::create();
    refresh();
}

double ImgxCanvas::zoom() const
{
    if (!autoZoom_ || image_->isEmpty() || width() < 1 || height() < 1)
        return zoom_;
    return std::min(double(width()) / image_->width(), double(height()) / image_->height());
}

void ImgxCanvas::setZoom(double zoom)
{
    if (zoom > 0)
        zoom_ = zoom;
    refresh();
}

void ImgxCanvas::setAutoZoom(bool on)
{
    autoZoom_ = on;
    refresh();
}

void ImgxCanvas::setRedraw(bool on)
{
    redraw_ = on;
    if (on)
        update();
}

void ImgxCanvas::refresh()
{
    overlay_.clear();
    if (redraw_)
        update();
}

void ImgxCanvas::undoStep()
{
    image_->undo();
    refresh();
}

void ImgxCanvas::setBackColor(const QColor &color)
{
    backColor_ = color;
    update();
}

void ImgxCanvas::paintInto(QPainter &p)
{
    p.fillRect(rect(), backColor_);
    if (!image_->isEmpty()) {
        const double z = zoom();
        const QImage &source = image_->qimage();
        if (z == 1.0) {
            p.drawImage(QPointF(0, 0), source);
        } else {
            // The zoomed picture is kept until the image or the zoom changes, so that a repaint
            // while dragging only copies it.
            const QSize target(std::max(1, int(std::lround(source.width() * z))),
                               std::max(1, int(std::lround(source.height() * z))));
            if (zoomedKey_ != source.cacheKey() || zoomed_.size() != target) {
                zoomed_ = source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                zoomedKey_ = source.cacheKey();
            }
            p.drawImage(QPointF(0, 0), zoomed_);
        }
    }
    imaging::PainterContext dc(p);
    emit paint(dc);
    overlay_.replay(dc);
}

void ImgxCanvas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintInto(p);
}

QImage ImgxCanvas::renderToImage()
{
    QImage out(size(), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    paintInto(p);
    return out;
}

void ImgxCanvas::mousePressEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    emit mouseDown(e->button(), e->modifiers(), pos.x(), pos.y());
}

void ImgxCanvas::mouseMoveEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    emit mouseMove(e->buttons(), e->modifiers(), pos.x(), pos.y());
}

void ImgxCanvas::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint pos = e->position().toPoint();
    emit mouseUp(e->button(), e->modifiers(), pos.x(), pos.y());
}

void ImgxCanvas::mouseDoubleClickEvent(QMouseEvent *) { emit doubleClicked(); }

void ImgxCanvas::keyPressEvent(QKeyEvent *e) { emit keyDown(e->key(), e->modifiers()); }

void ImgxCanvas::dragEnterEvent(QDragEnterEvent *e)
{
    if (e->mimeData()->hasUrls() || e->mimeData()->hasText())
        e->acceptProposedAction();
}

void ImgxCanvas::dropEvent(QDropEvent *e)
{
    const QMimeData *m = e->mimeData();
    QStringList files;
    for (const QUrl &u : m->urls())
        if (u.isLocalFile())
            files << u.toLocalFile();
    if (!files.isEmpty())
        emit filesDropped(files, e->position().toPoint().x(), e->position().toPoint().y());
    else if (m->hasUrls())
        emit textDropped(m->urls().constFirst().toString());
    else if (m->hasText())
        emit textDropped(m->text());
    e->acceptProposedAction();
}

} // namespace platform

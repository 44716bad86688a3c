#include "platform/imaging/ImgxCanvas.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

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

void ImgxCanvas::paintInto(QPainter &p)
{
    p.fillRect(rect(), Qt::white);
    if (!image_->isEmpty()) {
        const double z = zoom();
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(QRectF(0, 0, image_->width() * z, image_->height() * z), image_->qimage());
        p.restore();
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
        emit filesDropped(files);
    else if (m->hasUrls())
        emit textDropped(m->urls().constFirst().toString());
    else if (m->hasText())
        emit textDropped(m->text());
    e->acceptProposedAction();
}

} // namespace platform

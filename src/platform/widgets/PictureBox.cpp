#include "platform/widgets/PictureBox.h"

#include "platform/Rounding.h"
#include "platform/ui/Screen.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    overlay_.changed = [this] { update(); };
}

const QImage &PictureBox::picture() const
{
    makeStretch();
    return picture_;
}

void PictureBox::setPicture(const QImage &picture)
{
    picture_ = picture;
    stretchTo_ = QSize();
    update();
}

void PictureBox::stretchPicture()
{
    if (picture_.isNull() || width() < 1 || height() < 1)
        return;
    // A stretch to another size owed meanwhile is made first, as it would have been.
    if (stretchTo_ != size())
        makeStretch();
    if (picture_.size() != size())
        stretchTo_ = size();
    update();
}

void PictureBox::makeStretch() const
{
    if (stretchTo_.isEmpty())
        return;
    picture_ = picture_.scaled(stretchTo_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    stretchTo_ = QSize();
}

double PictureBox::widthTwips() const
{
    return widthTwips_ >= 0 ? widthTwips_ : width() * platform::Screen::get().twipsPerPixelX();
}

double PictureBox::heightTwips() const
{
    return heightTwips_ >= 0 ? heightTwips_ : height() * platform::Screen::get().twipsPerPixelY();
}

void PictureBox::setWidthTwips(double twips)
{
    widthTwips_ = std::max(0.0, twips);
    resize(roundToInt(widthTwips_ / platform::Screen::get().twipsPerPixelX()), height());
}

void PictureBox::setHeightTwips(double twips)
{
    heightTwips_ = std::max(0.0, twips);
    resize(width(), roundToInt(heightTwips_ / platform::Screen::get().twipsPerPixelY()));
}

double PictureBox::leftTwips() const { return x() * platform::Screen::get().twipsPerPixelX(); }
double PictureBox::topTwips() const { return y() * platform::Screen::get().twipsPerPixelY(); }

void PictureBox::refresh()
{
    overlay_.clear();
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (!picture().isNull())
        p.drawImage(0, 0, picture_);
    platform::imaging::PainterContext dc(p);
    emit paint(dc);
    overlay_.replay(dc);
}

void PictureBox::mousePressEvent(QMouseEvent *e)
{
    pressed_ = e->button() == Qt::LeftButton;
    e->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent *e)
{
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    e->accept();
    if (click)
        emit clicked();
}

Qt::DropAction PictureBox::preferredAction(const QMimeData *data, Qt::DropActions offered)
{
    // Files are taken as copies; an address or a text is taken as a link to it, as a web
    // browser offers it.
    bool onlyFiles = data->hasUrls();
    for (const QUrl &u : data->urls())
        onlyFiles = onlyFiles && u.isLocalFile();
    const Qt::DropAction wanted = onlyFiles ? Qt::CopyAction : Qt::LinkAction;
    if (offered & wanted)
        return wanted;
    for (Qt::DropAction a : {Qt::CopyAction, Qt::LinkAction, Qt::MoveAction})
        if (offered & a)
            return a;
    return Qt::IgnoreAction;
}

void PictureBox::dragEnterEvent(QDragEnterEvent *e)
{
    if (!e->mimeData()->formats().isEmpty()) {
        e->setDropAction(preferredAction(e->mimeData(), e->possibleActions()));
        e->accept();
    }
}

void PictureBox::dragMoveEvent(QDragMoveEvent *e)
{
    e->setDropAction(preferredAction(e->mimeData(), e->possibleActions()));
    e->accept();
}

void PictureBox::dropEvent(QDropEvent *e)
{
    const Qt::DropAction action = preferredAction(e->mimeData(), e->possibleActions());
    e->setDropAction(action);
    e->accept();
    emit dropped(*e->mimeData(), action);
}

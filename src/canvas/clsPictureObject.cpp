#include "canvas/clsPictureObject.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "platform/Rounding.h"
#include "platform/imaging/ImgxCanvas.h"

#include <cmath>

using platform::kNoUndo;

namespace {
QString source(const char *proc) { return QStringLiteral("clsPictureObject.") + QLatin1String(proc); }
} // namespace

clsPictureObject::clsPictureObject() { mImgXPicture->setUndoLevels(15); }

void clsPictureObject::copy(const clsPictureObject &source)
{
    mstrIndex = source.mstrIndex;
    mBoolDeleted = source.mBoolDeleted;
    if (mBoolDeleted)
        return;
    mBoolDragging = source.mBoolDragging;
    mBoolFocus = source.mBoolFocus;
    mBoolIsRotated = source.mBoolIsRotated;
    mDblAngle = source.mDblAngle;
    const std::pair<platform::ImgxImagePtr *, const platform::ImgxImagePtr *> images[] = {
        {&mImgXBackup, &source.mImgXBackup}, {&mImgXPicture, &source.mImgXPicture}, {&mImgXResize, &source.mImgXResize}};
    // Each image is taken with its undo history: an undo that reaches the copy later steps
    // back through the same pictures the source had, never to an empty one.
    for (const auto &[mine, theirs] : images) {
        if (*theirs && !(*theirs)->isEmpty())
            *mine = std::make_shared<platform::ImgxImage>(**theirs);
    }
    mIntLayer = source.mIntLayer;
    mIntResizing = source.mIntResizing;
    mObjPointMouseOffset->copy(*source.mObjPointMouseOffset);
    mObjPointMousePos->copy(*source.mObjPointMousePos);
    mObjPointResizeStart = source.mObjPointResizeStart;
}

clsCanvasObjectPtr clsPictureObject::clone() const
{
    auto p = std::make_shared<clsPictureObject>();
    p->copy(*this);
    return p;
}

bool clsPictureObject::isInMousePosition(int x, int y) const
{
    if (mBoolDeleted)
        return false;
    return X() - 2 < x && x < X() + W() + 2 && Y() - 2 < y && y < Y() + H() + 2;
}

void clsPictureObject::DrawToImgX(platform::ImgxImage &target, double zoom, clsEffects *, double scale)
{
    if (mBoolDeleted)
        return;
    auto temp = platform::ImgxImage::create();
    try {
        if (zoom == 0 || !std::isfinite(zoom) || !(scale > 0) || !std::isfinite(scale))
            throw AppError(ErrNo::DivisionByZero);
        temp->importImage(*mImgXPicture, QString());
        const double f = scale / zoom;
        mImgXPicture->resize(roundToInt(f * W()), roundToInt(f * H()), platform::imaging::ResizeMode::Quality, kNoUndo);
        target.drawImage(*mImgXPicture, roundToInt(f * X()), roundToInt(f * Y()), QString());
        mImgXPicture->importImage(*temp, kNoUndo);
    } catch (...) {
        if (!temp->isEmpty())
            mImgXPicture->importImage(*temp, kNoUndo);
        reportError(QStringLiteral("ERR_SAVE_COVER"), source("DrawToImgXCtrl"));
    }
}

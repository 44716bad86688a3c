#include "canvas/clsMoveableObjects.h"

#include "canvas/clsPictureObject.h"
#include "canvas/clsTextObject.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "platform/imaging/ImgxCanvas.h"

#include <limits>

namespace {
QString source(const char *proc) { return QStringLiteral("clsMoveableObjects.") + QLatin1String(proc); }

bool isCanvasObject(const clsCanvasObjectPtr &o)
{
    if (!o)
        return false;
    const QString t = o->typeName();
    return t == QLatin1String("clsTextObject") || t == QLatin1String("clsPictureObject");
}
} // namespace

template <class F>
void clsMoveableObjects::forEachObject(F f)
{
    // A copy of the list: an object's operation may change the model it is in.
    std::vector<clsCanvasObjectPtr> objects;
    for (const auto &[key, o] : colMoveableObjects)
        if (isCanvasObject(o))
            objects.push_back(o);
    for (const auto &o : objects)
        f(*o);
}

void clsMoveableObjects::Class_intialize()
{
    mObjBackground = std::make_shared<clsBackground>();
    objEffects = std::make_shared<clsEffects>();
    mStrFocusedObjectIndex = kNoFocus;
    lngIndexNumber = 0;
    dblZoomFactor = 1.0;
}

void clsMoveableObjects::showFocus(platform::ImgxCanvas &igxCtrl)
{
    try {
        if (!mStrFocusedObjectIndex.isEmpty()) {
            if (auto o = object(mStrFocusedObjectIndex))
                o->setFocus(igxCtrl, true);
            if (mObjFocusBackgroundObject)
                mObjFocusBackgroundObject->setVisible(false);
        } else if (mObjFocusBackgroundObject) {
            mObjFocusBackgroundObject->setVisible(true);
        }
    } catch (...) {
    }
}

void clsMoveableObjects::stopDragObjects(platform::ImgxCanvas &igxCtrl)
{
    try {
        forEachObject([&](clsCanvasObject &o) {
            o.mBoolDragging = false;
            if (o.mIntResizing != 0) {
                o.mIntResizing = 0;
                o.stopResize();
                igxCtrl.refresh();
            }
            showFocus(igxCtrl);
        });
    } catch (...) {
        reportError(QStringLiteral("ERR_DRAG"), source("stopDragObjects"));
    }
}

void clsMoveableObjects::doDragObjects(platform::ImgxCanvas &igxCtrl, int x, int y)
{
    try {
        forEachObject([&](clsCanvasObject &o) {
            o.doDrag(x, y, igxCtrl);
            showFocus(igxCtrl);
        });
    } catch (...) {
        reportError(QStringLiteral("ERR_DRAG"), source("doDragObjects"));
    }
}

void clsMoveableObjects::startDragObjects(platform::ImgxCanvas &igxCtrl, int x, int y, QWidget *shpImgXCtrlFocus)
{
    try {
        bool any = false;
        for (const auto &[key, o] : colMoveableObjects)
            any = any || isCanvasObject(o);
        if (any) {
            QString old = kNoFocus;
            changeFocus(igxCtrl, x, y, false, old, shpImgXCtrlFocus);
        }
        const QString focused = mStrFocusedObjectIndex;
        forEachObject([&](clsCanvasObject &o) { o.startDrag(x, y, focused); });
    } catch (...) {
        reportError(QStringLiteral("ERR_DRAG"), source("startDragObjects"));
    }
}

void clsMoveableObjects::renderObjects(platform::imaging::DeviceContext &hdc)
{
    try {
        for (const auto &[key, value] : colObjectLayers) {
            const auto o = object(value);
            if (isCanvasObject(o))
                o->render(hdc);
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_RENDER"), source("renderObjects"));
    }
}

void clsMoveableObjects::drawObjects(platform::ImgxImage &target, double zoom, double scale)
{
    for (const auto &[key, value] : colObjectLayers)
        if (const auto o = object(value))
            o->DrawToImgX(target, zoom, objEffects.get(), scale);
}

void clsMoveableObjects::changeFocus(platform::ImgxCanvas &igxCtrl, int x, int y, bool boolForce,
                                     QString &strOldIndex, QWidget *shpImgXCtrlFocus)
{
    try {
        const QString newKey = searchObjectToFocus(x, y);
        if (newKey == mStrFocusedObjectIndex && !boolForce)
            return;
        if (!mStrFocusedObjectIndex.isEmpty()) {
            if (strOldIndex != kNoFocus && !strOldIndex.isEmpty())
                mStrFocusedObjectIndex = strOldIndex;
            // A key that is no longer in the model has no frame to take away.
            if (auto o = object(mStrFocusedObjectIndex))
                o->setFocus(igxCtrl, false);
        }
        if (!newKey.isEmpty())
            if (auto o = object(newKey))
                o->setFocus(igxCtrl, true);
        if (shpImgXCtrlFocus)
            shpImgXCtrlFocus->setVisible(newKey.isEmpty());
        mStrFocusedObjectIndex = newKey;
    } catch (...) {
        reportError(QStringLiteral("ERR_FOCUS"), source("changeFocus"));
    }
}

QString clsMoveableObjects::searchObjectToFocus(int x, int y) const
{
    int bestLayer = -1;
    QString result;
    for (const auto &[key, o] : colMoveableObjects) {
        if (!isCanvasObject(o))
            continue;
        if (o->isInMousePosition(x, y) && !o->mBoolDeleted && o->mIntLayer > bestLayer) {
            bestLayer = o->mIntLayer;
            result = o->mstrIndex;
        }
    }
    return result;
}

void clsMoveableObjects::AddClsPictureObject(platform::ImgxImagePtr igxImage)
{
    try {
        if (lngIndexNumber == std::numeric_limits<std::int32_t>::max()
            || colMoveableObjects.count() >= std::numeric_limits<std::int16_t>::max())
            throw AppError(ErrNo::Overflow);
        ++lngIndexNumber;
        auto p = std::make_shared<clsPictureObject>();
        p->mImgXPicture = igxImage ? std::move(igxImage) : platform::ImgxImage::create();
        colMoveableObjects.add(QString::number(lngIndexNumber), p);
        initNewObject();
    } catch (...) {
        reportError(QStringLiteral("ERR_ADDELEMENT"), source("AddClsPictureObject"));
    }
}

void clsMoveableObjects::AddClsTextObject(const clsTextObject &objTextObject)
{
    try {
        if (lngIndexNumber == std::numeric_limits<std::int32_t>::max()
            || colMoveableObjects.count() >= std::numeric_limits<std::int16_t>::max())
            throw AppError(ErrNo::Overflow);
        ++lngIndexNumber;
        auto t = std::make_shared<clsTextObject>();
        colMoveableObjects.add(QString::number(lngIndexNumber), t);
        t->copy(objTextObject);
        initNewObject();
    } catch (...) {
        reportError(QStringLiteral("ERR_ADDELEMENT"), source("AddClsTextObject"));
    }
}

void clsMoveableObjects::initNewObject()
{
    const QString key = QString::number(lngIndexNumber);
    const auto o = object(key);
    o->mImgXPicture->setImageType(platform::ImgxImage::kTypeInMemory);
    o->mIntLayer = std::int16_t(colMoveableObjects.count());
    o->mstrIndex = key;
    mStrFocusedObjectIndex = key;
    colObjectLayers.add(key, key);
    o->mImgXPicture->setUndoLevels(15);
}

void clsMoveableObjects::copy(const clsMoveableObjects &other)
{
    dblZoomFactor = other.dblZoomFactor;
    lngIndexNumber = other.lngIndexNumber;
    mObjFocusBackgroundObject = other.mObjFocusBackgroundObject;
    mStrFocusedObjectIndex = other.mStrFocusedObjectIndex;
    objEffects = std::make_shared<clsEffects>();
    mObjBackground = std::make_shared<clsBackground>();
    if (other.mObjBackground)
        mObjBackground->copy(*other.mObjBackground);
    colMoveableObjects.clear();
    for (const auto &[key, o] : other.colMoveableObjects)
        if (isCanvasObject(o))
            colMoveableObjects.add(o->mstrIndex, o->clone());
    colObjectLayers = other.colObjectLayers;
}

void clsMoveableObjects::moveFocusedObjectToBackground() { MoveFocusedObjectToLayer(0); }
void clsMoveableObjects::moveFocusedObjectToForeground() { MoveFocusedObjectToLayer(-1); }

void clsMoveableObjects::MoveFocusedObjectToLayer(int position)
{
    try {
        const QString focused = mStrFocusedObjectIndex;
        if (focused.isEmpty() || focused == kNoFocus || !colObjectLayers.contains(focused))
            throw AppError(ErrNo::InvalidCall, QStringLiteral("No object has the focus"));
        colObjectLayers.remove(focused);
        KeyedCollection<QString> order;
        std::int16_t layer = 0;
        auto place = [&](const QString &key) {
            order.add(key, key);
            if (auto o = object(key))
                o->mIntLayer = ++layer;
        };
        if (position == 0)
            place(focused);
        for (const auto &[key, value] : colObjectLayers)
            place(value);
        if (position != 0)
            place(focused);
        colObjectLayers = order;
    } catch (...) {
        reportError(QStringLiteral("ERR_CHANGELAYER"), source("MoveFocusedObjectToLayer"));
    }
}

bool clsMoveableObjects::holdsVisibleObjects() const
{
    for (const auto &[key, o] : colMoveableObjects)
        if (o && !o->mBoolDeleted)
            return true;
    return false;
}

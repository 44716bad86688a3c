#pragma once
// The model of one cover side's canvas: its text and picture objects by key, their drawing
// order, the focus, the background, the effects object and the zoom.
//
// Focus: a key, "" (the background) or "-9999" (nothing has been given the focus).
#include "canvas/clsBackground.h"
#include "canvas/clsCanvasObject.h"
#include "canvas/clsEffects.h"
#include "core/KeyedCollection.h"

#include <QPointer>
#include <QWidget>

class clsTextObject;

class clsMoveableObjects {
public:
    static inline const QString kNoFocus = QStringLiteral("-9999");

    KeyedCollection<clsCanvasObjectPtr> colMoveableObjects;
    KeyedCollection<QString> colObjectLayers;   // drawing order, bottom first
    QString mStrFocusedObjectIndex;
    std::int32_t lngIndexNumber = 0;
    std::shared_ptr<clsEffects> objEffects;
    std::shared_ptr<clsBackground> mObjBackground;
    QPointer<QWidget> mObjFocusBackgroundObject; // the frame shown while the background has the focus
    double dblZoomFactor = 0;

    // Sets a background, an effects object, "-9999" and zoom 1.
    void Class_intialize();

    void showFocus(platform::ImgxCanvas &igxCtrl);
    void stopDragObjects(platform::ImgxCanvas &igxCtrl);
    void doDragObjects(platform::ImgxCanvas &igxCtrl, int x, int y);
    void startDragObjects(platform::ImgxCanvas &igxCtrl, int x, int y, QWidget *shpImgXCtrlFocus);
    void renderObjects(platform::imaging::DeviceContext &hdc);
    // Draws the objects in drawing order into the side's picture at full scale (their canvas
    // showed them at zoom), or into one scale times as large; deleted ones draw nothing.
    void drawObjects(platform::ImgxImage &target, double zoom, double scale = 1.0);
    void changeFocus(platform::ImgxCanvas &igxCtrl, int x, int y, bool boolForce, QString &strOldIndex,
                     QWidget *shpImgXCtrlFocus);
    QString searchObjectToFocus(int x, int y) const;

    // Adds a picture object holding the very image given.
    void AddClsPictureObject(platform::ImgxImagePtr igxImage);
    // Adds a copy of the text object given.
    void AddClsTextObject(const clsTextObject &objTextObject);
    void copy(const clsMoveableObjects &objCopyMoveAbleObjects);
    void moveFocusedObjectToBackground();
    void moveFocusedObjectToForeground();

    // The object under a key, or nothing.
    clsCanvasObjectPtr object(const QString &key) const { return colMoveableObjects.value(key); }
    // Whether an object is left that no Delete or Undo took away: the user sees it.
    bool holdsVisibleObjects() const;

private:
    void initNewObject();
    void MoveFocusedObjectToLayer(int position);
    template <class F>
    void forEachObject(F f);
};

#pragma once
// What text and picture objects share: the canvas model reaches both through these members.
// Coordinates are canvas pixels at the editor's zoom.
#include "canvas/clsElement.h"
#include "canvas/clsPoint.h"
#include "platform/imaging/DeviceContext.h"
#include "platform/imaging/ImgxImage.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace platform { class ImgxCanvas; }
class clsEffects;

class clsCanvasObject : public clsElement {
public:
    QString mstrIndex;
    std::int16_t mIntLayer = 0;
    bool mBoolDeleted = false;
    bool mBoolFocus = true;
    bool mBoolDragging = false;
    std::int16_t mIntResizing = 0;
    bool mBoolIsRotated = false;
    double mDblAngle = 0;
    platform::ImgxImagePtr mImgXPicture = platform::ImgxImage::create();
    platform::ImgxImagePtr mImgXBackup = platform::ImgxImage::create();
    platform::ImgxImagePtr mImgXResize = platform::ImgxImage::create();
    clsPointPtr mObjPointMouseOffset = std::make_shared<clsPoint>();
    clsPointPtr mObjPointMousePos = std::make_shared<clsPoint>();

    int X() const { return mObjPointMousePos->mLngX; }
    int Y() const { return mObjPointMousePos->mLngY; }
    int W() const { return mImgXPicture ? mImgXPicture->width() : 0; }
    int H() const { return mImgXPicture ? mImgXPicture->height() : 0; }

    // Paints the picture at its place; a deleted object paints nothing.
    void render(platform::imaging::DeviceContext &hdc);
    // Draws the blue dotted focus frame on the canvas, or repaints the canvas without it.
    void setFocus(platform::ImgxCanvas &igxCtrl, bool boolFocus);
    virtual bool isInMousePosition(int x, int y) const = 0;
    // Mouse-down on the focused object: a drag, or a resize when the point is on a handle.
    void startDrag(int x, int y, const QString &focusedKey);
    // The handle under a point relative to the top-left corner (0 none, 1..8), setting the
    // pointer shape of the handle.
    virtual std::int16_t isInResizePosition(int relX, int relY) = 0;
    virtual void startResize(int x, int y) = 0;
    // Mouse-move: moves while dragging, goes on with a resize, or sets the hover pointer.
    void doDrag(int x, int y, platform::ImgxCanvas &igxCtrl);
    virtual void doResize(int x, int y) = 0;
    virtual void stopResize() = 0;
    // Draws the object into the side's picture at full scale (the picture fitted to the side's
    // box, whose canvas showed it at zoom), or into one scale times as large.
    virtual void DrawToImgX(platform::ImgxImage &target, double zoom, clsEffects *effects, double scale = 1.0) = 0;
    virtual void checkPosition() = 0;
    // The unrotated picture into the backup, and back.
    void doBackupImgX();
    void doRestoreFromBackup();
    // A new object of the same class holding a copy of this one.
    virtual std::shared_ptr<clsCanvasObject> clone() const = 0;

protected:
    // Puts an object back onto the canvas once it has left it: wholly left of or above it
    // to 0, with its left or top edge at or past the limit (the control's size less 5) so
    // that its far edge lies on the limit.
    void clampToCanvas(const platform::ImgxCanvas &igxCtrl);
    // The key of the object the editor's canvas model has focused.
    bool isFocusedInEditor() const;
    // The mouse pointer back to the arrow unless it is already.
    static void resetPointer();
    // The handle zones shared by texts and pictures: 5 left, 6 top, 7 right, 8 bottom edge,
    // 1..4 the corners; tested in that order, so a corner wins over its edges.
    std::int16_t handleAt(int relX, int relY) const;
};

using clsCanvasObjectPtr = std::shared_ptr<clsCanvasObject>;

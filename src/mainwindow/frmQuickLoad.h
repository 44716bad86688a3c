#pragma once
// The quick-load window: stands in for the hidden main window when the user only wants to
// drop a picture onto a cover side and print or save it at once. It shows both sides'
// previews; a picture file or web address dropped on a side is shown there and goes into
// the main window's side as well. Printing prints the main window's sides; saving writes a
// side's picture at full size in the format chosen in the save dialog.
//
// Control arrays: picVisible[side] (0 left, 1 right), cmdPrint[i] and cmdSave[i] (0 left,
// 1 right, 2 both). The window is localised and filled when it is created.
#include "platform/imaging/ImgxImage.h"

#include <QPointer>
#include <QWidget>
#include <array>

class ButtonPlus;
class PictureBox;
class QLabel;
class QMimeData;
class frmPelmora;

namespace Ui { class frmQuickLoad; }

class frmQuickLoad : public QWidget {
    Q_OBJECT
public:
    // Works with the main window that exists at the time (frmPelmora::instance()).
    explicit frmQuickLoad(QWidget *parent = nullptr);
    ~frmQuickLoad() override;

    // Hides the main window and shows a new quick-load window topmost in its place. The
    // window deletes itself when closed; closing it gives the main window back.
    static frmQuickLoad *open(frmPelmora &main);

    // Controls.
    std::array<PictureBox *, 2> picVisible{};
    std::array<ButtonPlus *, 3> cmdPrint{}, cmdSave{};
    QLabel *lblLoadPic = nullptr, *lblDescription = nullptr;

    // Localises the window, styles its buttons and copies the main window's previews.
    void Form_Load();
    // Loads a dropped picture file or image address into a side: shown here, handed to the
    // main window's side.
    void picVisible_OLEDragDrop(int side, const QMimeData &data, Qt::DropAction effect);
    // Prints through the main window: 0 left, 1 right, 2 both.
    void cmdPrint_Click(int index);
    // Saves a side's picture through the save dialog; 2 saves the left, then the right side.
    void cmdSave_Click(int index);

    // The name a side remembers from a dropped address ("" after a dropped file), which the
    // save dialog proposes and whose extension chooses the proposed format.
    QString rememberedFileName(int side) const;
    // The save filter row (1-based, of gStrSaveImageFilter) proposed for a remembered name.
    static int saveFilterIndexFor(const QString &fileName);
    // The file name part of an image address: its path's last part, percent codes decoded,
    // without query, fragment, separators or control characters.
    static QString fileNameFromAddress(const QString &address);

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void showOnBox(int side, const QImage &picture);
    void saveSide(int side);
    // What saving a side writes: its picture at full size, or with the side's texts and
    // pictures drawn on when it has any.
    platform::ImgxImagePtr sidePicture(int side) const;
    void Form_Unload();

    std::unique_ptr<Ui::frmQuickLoad> ui;
    QPointer<frmPelmora> mMain;
    // Per side: the picture dropped here at the size it was loaded (none until a drop), and
    // the name remembered from a dropped address.
    std::array<platform::ImgxImagePtr, 2> mIgxDropped{};
    std::array<QString, 2> mStrFileName{};
    bool mBoolUnloaded = false;
};

#pragma once
// The cover state of the running program: the current medium, the selected format of each
// side, the print type of the current print job and the two indexes the cover-format editor
// is given. Besides the state it acts on the main window: it takes the medium from the
// medium buttons, chooses a side's format from keywords in an image file name and places
// the cut-border and disc outlines over the previews.
#include <QString>
#include <cstdint>

class PictureBox;
namespace platform::imaging {
class DeviceContext;
}

class clsCover {
public:
    // The record of the user-defined table the cover-format editor edits; -2 for a new one.
    std::int16_t ProfileIndex() const { return mIntProfileIndex; }
    void setProfileIndex(std::int16_t v) { mIntProfileIndex = v; }
    // The side whose format the cover-format editor creates or edits.
    std::int16_t EditedIndex() const { return mIntEditedIndex; }
    void setEditedIndex(std::int16_t v) { mIntEditedIndex = v; }
    // The medium 0 to 5, kept as a byte: a value outside 0 to 255 raises an overflow error
    // and keeps the old one.
    std::int16_t aktMedium() const { return mByteAktMedium; }
    void setAktMedium(std::int16_t v);
    // "Left", "Right" or "All".
    const QString &printType() const { return mStrPrintType; }
    void setPrintType(const QString &v) { mStrPrintType = v; }
    // The last selected entries of the left and the right format list.
    std::uint8_t LeftListIndex() const { return mByteLeftListIndex; }
    void setLeftListIndex(std::uint8_t v) { mByteLeftListIndex = v; }
    std::uint8_t RightListIndex() const { return mByteRightListIndex; }
    void setRightListIndex(std::uint8_t v) { mByteRightListIndex = v; }

    // aktMedium from the first medium button of the main window that is set; unchanged when
    // none is.
    void getAktMedium();
    // Strips the quotes of a path (the caller's variable receives the result) and, for an
    // existing GIF, JPG, BMP or JPEG file, chooses the left side's format by its name.
    void LoadExternalFile(QString &path);
    // The target box takes the source's size and its picture stretched over it.
    void CopyImageBox(const PictureBox &source, PictureBox &target);
    // Chooses a side's format from the keyword FRONT, BACK or LABEL in the file name (the
    // earliest in the name wins) for the media 0 to 3. The picture is not loaded here.
    void chkType(const QString &path, std::int16_t side);

    // Places the cut border and the disc outlines of both sides around and over the
    // previews; the side argument is not used.
    void setBorder(int side);
    // Draws the fold lines of the edited side's format that lie on the editor canvas onto hdc,
    // the canvas being painted.
    void SetBorderIgX(platform::imaging::DeviceContext &hdc);
    // Draws the fold ticks above the editor canvas (those of the margin type "outside") on the
    // editor window, for the canvas as it is laid out now; other margin types take them away.
    void SetBorderIgXWindow();

private:
    // The fold lines of the edited side's format for the editor canvas onto dc: those above
    // the canvas or those on it.
    void drawEditorFolds(platform::imaging::DeviceContext &dc, bool aboveCanvas);
    // The fold lines of a side's format over its preview, drawn by clsPrintBorders.
    void drawFoldLines(int side);

    std::int16_t mIntEditedIndex = 0;
    std::int16_t mIntProfileIndex = 0;
    std::uint8_t mByteAktMedium = 0;
    QString mStrPrintType;
    std::uint8_t mByteLeftListIndex = 0;
    std::uint8_t mByteRightListIndex = 0;
};

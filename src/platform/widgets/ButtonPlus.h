#pragma once
// The picture button: a caption and a picture on one face, with the properties the forms
// and their localisation set by name. Entering and leaving the button are signalled, so a
// form can switch a field check off while the user goes for a button.
#include <QPushButton>

class ButtonPlus : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QString ToolTipText READ toolTip WRITE setToolTip)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(int CaptionAlignment READ captionAlignment WRITE setCaptionAlignment)
    Q_PROPERTY(int PictureAlignment READ pictureAlignment WRITE setPictureAlignment)
    Q_PROPERTY(int ButtonStyle READ buttonStyle WRITE setButtonStyle)

public:
    // Caption alignment codes: 0 centre, 4 left next to the picture.
    static constexpr int kCaptionLeft = 4;
    // Picture alignment codes: 0 centre, 3 left.
    static constexpr int kPictureLeft = 3;

    explicit ButtonPlus(QWidget *parent = nullptr);

    QString caption() const { return text(); }
    void setCaption(const QString &c) { setText(c); }
    bool hasPicture() const { return !icon().isNull(); }
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on) { wordWrap_ = on; }
    int captionAlignment() const { return captionAlignment_; }
    void setCaptionAlignment(int a);
    int pictureAlignment() const { return pictureAlignment_; }
    void setPictureAlignment(int a) { pictureAlignment_ = a; }
    int buttonStyle() const { return buttonStyle_; }
    void setButtonStyle(int s) { buttonStyle_ = s; }

signals:
    void entered();
    void left();

protected:
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;

private:
    bool wordWrap_ = false;
    int captionAlignment_ = 0;
    int pictureAlignment_ = 0;
    int buttonStyle_ = 0;
};

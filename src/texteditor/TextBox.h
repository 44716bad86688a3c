#pragma once
// The text editor's multi-line edit box. Its text separates lines by CR LF, as the text
// objects store them and the importers append them, and its caret positions count a CR LF as
// two characters, whatever the widget keeps inside. It also carries what the text editor
// sets on it as one control: the working font, the alignment (0 left, 1 right, 2 centre) and
// the text and background colours (0x00BBGGRR).
#include <QPlainTextEdit>
#include <QStringList>
#include <cstdint>
#include <functional>

class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

    QString text() const;
    // The first characters of the text (CR LF counting two), read without the rest.
    QString leftText(int count) const;
    // Whether the text holds nothing but blanks (a line break is not one).
    bool isBlank() const;
    // Focus to the box, caret to the end of its text.
    void focusAtEnd();
    // Replaces the text; textChanged follows once (also for the same text).
    void setText(const QString &crlfText);

    int selStart() const;
    int selLength() const;
    // Puts the caret at a position (no selection); a position past the end goes to the end.
    void setSelStart(int position);
    void setSelection(int start, int length);
    // The caret's line (from 0) and its column in that line.
    int caretLine() const;
    int caretColumn() const;

    int alignment() const { return alignment_; }
    void setAlignment(int code);
    std::uint32_t textColor() const { return textColor_; }
    void setTextColor(std::uint32_t color);
    std::uint32_t backColor() const { return backColor_; }
    void setBackColor(std::uint32_t color);

    // What the box itself does with a key.
    void defaultKeyPress(QKeyEvent *e) { QPlainTextEdit::keyPressEvent(e); }

    // Runs before the box handles a key; true when the key has been dealt with.
    std::function<bool(QKeyEvent *)> onKeyDown;
    // Local files dropped onto the box, instead of their text.
    std::function<void(const QStringList &)> onFilesDropped;

signals:
    void gotFocus();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // The widget's position of a CR LF position.
    int innerPosition(int position) const;

    int alignment_ = 0;
    std::uint32_t textColor_ = 0;
    std::uint32_t backColor_ = 0xFFFFFF;
};

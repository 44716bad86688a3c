#pragma once
// A number box: a line edit, with or without a spinner (a vertical scroll bar beside it),
// that keeps what the user types while a number is on its way ("-", "2.", "2,", nothing),
// takes the value whenever the text reads as one, and writes the box's own form of the text
// only once the typing is done: when the box loses the focus, on Enter, or when the dialog
// asks for it (before OK and the like). A step of the spinner shows its number at once.
//
// The rules say what a text is worth and how the box shows it; the box keeps the spinner in
// step without the spinner writing the box back.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QLineEdit;
class QScrollBar;

class NumberBox : public QObject {
public:
    struct Rules {
        // The value a text stands for, brought into the box's range; nothing while the text is
        // no number (yet).
        std::function<std::optional<double>(const QString &text)> read;
        // The text the box shows once the typing is done, from what it holds then. It must
        // read as a number.
        std::function<QString(const QString &text)> finished;
        // The spinner's position for a value, and the text a position stands for.
        std::function<int(double value)> position;
        std::function<QString(int position)> positionText;
        // Told of a value taken from the box: every one typed, every spinner step, and what
        // finishing changed.
        std::function<void(double value)> taken;
    };

    // Owned by the box.
    NumberBox(QLineEdit *box, QScrollBar *spinner, Rules rules);

    // Writes the box's text as finished now; the value it holds then.
    double finish();
    // Writes a text into the box as the program does: finished at once.
    void show(const QString &text);
    // The value last taken.
    double value() const { return value_; }

private:
    // Takes the value of the box's text; tells of it always, or only when the value changed.
    void take(bool always);

    QLineEdit *box_;
    QScrollBar *spinner_;
    Rules rules_;
    double value_ = 0;
    // The box's text is being written here; its change is taken once at the end.
    bool writing_ = false;
};

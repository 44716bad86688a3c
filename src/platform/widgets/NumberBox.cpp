#include "platform/widgets/NumberBox.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <utility>

NumberBox::NumberBox(QLineEdit *box, QScrollBar *spinner, Rules rules)
    : QObject(box), box_(box), spinner_(spinner), rules_(std::move(rules))
{
    connect(box_, &QLineEdit::textChanged, this, [this] {
        if (!writing_)
            take(true);
    });
    connect(box_, &QLineEdit::editingFinished, this, [this] { finish(); });
    if (spinner_)
        connect(spinner_, &QScrollBar::valueChanged, this,
                [this](int position) { show(rules_.positionText(position)); });
}

double NumberBox::finish()
{
    const QString typed = box_->text();
    const QString shown = rules_.finished(typed);
    if (shown != typed) {
        writing_ = true;
        box_->setText(shown);
        writing_ = false;
        take(false);
    }
    return value_;
}

void NumberBox::show(const QString &text)
{
    writing_ = true;
    box_->setText(text);
    const QString shown = rules_.finished(text);
    if (shown != text)
        box_->setText(shown);
    writing_ = false;
    take(true);
}

void NumberBox::take(bool always)
{
    const std::optional<double> value = rules_.read(box_->text());
    if (!value)
        return;
    const bool changed = *value != value_;
    value_ = *value;
    if (spinner_) {
        const QSignalBlocker quiet(spinner_);
        spinner_->setValue(rules_.position(*value));
    }
    if ((always || changed) && rules_.taken)
        rules_.taken(*value);
}

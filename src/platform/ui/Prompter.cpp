#include "platform/ui/Prompter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace platform {
namespace {

// Follows the window of the user's last click, key or drop.
class InputWindowTracker final : public QObject {
public:
    using QObject::QObject;
    QPointer<QWidget> last;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
        case QEvent::DragEnter:
        case QEvent::Drop:
            if (watched->isWidgetType()) {
                QWidget *window = static_cast<QWidget *>(watched)->window();
                // A menu or tooltip closes before what it started asks anything.
                const Qt::WindowType type = window->windowType();
                if (type != Qt::Popup && type != Qt::ToolTip)
                    last = window;
            }
            break;
        default:
            break;
        }
        return false;
    }
};

QPointer<QWidget> &mainOwner()
{
    static QPointer<QWidget> w;
    return w;
}

QPointer<InputWindowTracker> &tracker()
{
    static QPointer<InputWindowTracker> t;
    return t;
}

// A message box whose buttons are its only answers: a box without a Cancel button (Yes/No,
// Abort/Retry/Ignore) cannot be closed by Escape or by its close box, as such a box behaves on
// Windows; the others answer Escape and the close box with their Cancel button, or with OK when
// that is their only button.
class AnswerBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool closable = true;

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        if (!closable && e->matches(QKeySequence::Cancel)) {
            e->accept();
            return;
        }
        QMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent *e) override
    {
        if (!closable) {
            e->ignore();
            return;
        }
        QMessageBox::closeEvent(e);
    }
};

class QtPrompter final : public Prompter {
public:
    int msgBox(const QString &prompt, int style, const QString &title) override
    {
        AnswerBox box(dialogOwner());
        box.setWindowTitle(title);
        box.setText(prompt);
        switch (style & 0x70) {
        case MsgStyle::Critical: box.setIcon(QMessageBox::Critical); break;
        case MsgStyle::Question: box.setIcon(QMessageBox::Question); break;
        case MsgStyle::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MsgStyle::Information: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        struct Btn { QMessageBox::StandardButton std; int answer; };
        std::vector<Btn> buttons;
        switch (style & 0x7) {
        case MsgStyle::OkCancel: buttons = {{QMessageBox::Ok, MsgAnswer::Ok}, {QMessageBox::Cancel, MsgAnswer::Cancel}}; break;
        case MsgStyle::AbortRetryIgnore: buttons = {{QMessageBox::Abort, MsgAnswer::Abort}, {QMessageBox::Retry, MsgAnswer::Retry}, {QMessageBox::Ignore, MsgAnswer::Ignore}}; break;
        case MsgStyle::YesNoCancel: buttons = {{QMessageBox::Yes, MsgAnswer::Yes}, {QMessageBox::No, MsgAnswer::No}, {QMessageBox::Cancel, MsgAnswer::Cancel}}; break;
        case MsgStyle::YesNo: buttons = {{QMessageBox::Yes, MsgAnswer::Yes}, {QMessageBox::No, MsgAnswer::No}}; break;
        case MsgStyle::RetryCancel: buttons = {{QMessageBox::Retry, MsgAnswer::Retry}, {QMessageBox::Cancel, MsgAnswer::Cancel}}; break;
        default: buttons = {{QMessageBox::Ok, MsgAnswer::Ok}}; break;
        }
        for (const Btn &b : buttons)
            box.addButton(b.std);
        const size_t def = (style & MsgStyle::DefaultButton3) ? 2 : (style & MsgStyle::DefaultButton2) ? 1 : 0;
        if (def < buttons.size())
            box.setDefaultButton(buttons[def].std);
        // QMessageBox answers Escape and its close box with Cancel or with its only button by
        // itself, but a Yes/No or Abort/Retry/Ignore box with No or Abort: those ignore both.
        if (!box.button(QMessageBox::Cancel) && buttons.size() > 1) {
            box.closable = false;
            box.setWindowFlags((box.windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
                               & ~Qt::WindowCloseButtonHint);
        }
        box.exec();
        const auto clicked = box.standardButton(box.clickedButton());
        for (const Btn &b : buttons)
            if (b.std == clicked)
                return b.answer;
        // Ended without a button (the program is quitting): the last button's answer.
        return buttons.back().answer;
    }

    bool inputBox(const QString &prompt, const QString &title, const QString &defaultText,
                  QString &result) override
    {
        bool ok = false;
        const QString text = QInputDialog::getText(dialogOwner(), title, prompt,
                                                   QLineEdit::Normal, defaultText, &ok);
        if (ok)
            result = text;
        return ok;
    }
};

std::unique_ptr<Prompter> makeDefault() { return makeQtPrompter(); }

} // namespace

QWidget *dialogOwner()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (tracker() && tracker()->last && tracker()->last->isVisible())
        return tracker()->last;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return mainOwner();
}

void setMainDialogOwner(QWidget *window)
{
    mainOwner() = window;
    if (!tracker() && qApp) {
        tracker() = new InputWindowTracker(qApp);
        qApp->installEventFilter(tracker());
    }
}

std::unique_ptr<Prompter> makeQtPrompter() { return std::make_unique<QtPrompter>(); }

template <> Seam<Prompter>::Factory &Seam<Prompter>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}

} // namespace platform

#pragma once
// A text editor test: its own program folder and scripted seams, an offscreen editor canvas
// as the canvas services, recording stand-ins for the importers, the CD wizard and the effect
// dialogs, and clean state afterwards.
#include "canvas/CanvasServices.h"
#include "platform/imaging/ImgxCanvas.h"
#include "texteditor/TextEditorSeams.h"
#include "texteditor/frmTextedit.h"

#include "support/TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace texteditortest {

// What the importers, the CD wizard and the effect dialogs were asked, in order ("mp3",
// "m3u", "files", "drop:<path>", "cddb", "shadow", "gradient"); each call runs the test's action.
struct RecordingSeams {
    QStringList calls;
    std::function<void(const QString &, texteditor::TextEditorHost &)> action;

    void run(const QString &call, texteditor::TextEditorHost &e)
    {
        calls << call;
        if (action)
            action(call, e);
    }
};

// Works the next dialog of type D that the program shows modally, from inside the dialog's own
// event loop, as a user would while the program waits in exec(). A dialog the script leaves
// open is closed, so that the test never waits.
template <class D>
class WhenModal {
public:
    explicit WhenModal(std::function<void(D &)> script) : script_(std::move(script))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<D *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            timer_.stop();
            ran = true;
            script_(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the script left " << dialog->objectName().toStdString() << " open";
                dialog->done(QDialog::Rejected);
            }
        });
        timer_.start(0);
    }
    ~WhenModal() { EXPECT_TRUE(ran) << "no modal dialog of the scripted kind was shown"; }

    bool ran = false;

private:
    std::function<void(D &)> script_;
    QTimer timer_;
};

class TextEditorTest : public testsupport::ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the text editor (shown, not modal) for a new text or an edit of gObjTextObject.
    std::unique_ptr<frmTextedit> open(bool newText);
    // The bounding box of the preview's ink (pixels that are not fully transparent).
    static QRect ink(const QImage &image);

    std::unique_ptr<platform::ImgxCanvas> canvas;
    std::shared_ptr<RecordingSeams> seams;
    int adaptCalls = 0;
};

} // namespace texteditortest

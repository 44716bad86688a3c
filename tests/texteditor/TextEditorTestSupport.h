#pragma once
// A text editor test: its own program folder and scripted seams, an offscreen editor canvas
// as the canvas services, recording stand-ins for the importers, the CD wizard and the effect
// dialogs, and clean state afterwards.
#include "canvas/CanvasServices.h"
#include "platform/imaging/ImgxCanvas.h"
#include "texteditor/TextEditorSeams.h"
#include "texteditor/frmTextedit.h"

#include "support/TestSupport.h"

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

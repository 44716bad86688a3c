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

// Records every call; each call runs the test's action, if any.
class RecordingSeams final : public texteditor::TextImporters,
                             public texteditor::CdTrackListWizard,
                             public texteditor::TextEffectDialogs {
public:
    void listMp3(texteditor::TextEditorHost &e) override { run("mp3", e); }
    void listPlaylist(texteditor::TextEditorHost &e) override { run("m3u", e); }
    void listFiles(texteditor::TextEditorHost &e) override { run("files", e); }
    void loadTextFromFile(texteditor::TextEditorHost &e, const QString &path) override { run("drop:" + path, e); }
    void showModal(texteditor::TextEditorHost &e) override { run("cddb", e); }
    void showShadow(texteditor::TextEditorHost &e) override { run("shadow", e); }
    void showGradient(texteditor::TextEditorHost &e) override { run("gradient", e); }

    QStringList calls;
    std::function<void(const QString &, texteditor::TextEditorHost &)> action;

private:
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
    RecordingSeams *seams = nullptr;
    int adaptCalls = 0;
};

} // namespace texteditortest

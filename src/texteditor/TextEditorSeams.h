#pragma once
// What the text editor's import buttons, its file drop and its effects list open. The text
// editor declares them; the track-list importers, the CD wizard and the effect dialogs come from
// elsewhere and are installed by the program at start; tests install their own. With neither,
// the first use stops the program.
#include "platform/Seam.h"

#include <QString>

class QWidget;

namespace texteditor {

// The text editor as the importers and the effect dialogs use it.
class TextEditorHost {
public:
    virtual ~TextEditorHost() = default;
    // The text editor's window: the owner of the modal windows opened from it.
    virtual QWidget *window() = 0;
    // The edit box `txtText`, lines separated by CR LF.
    virtual QString text() const = 0;
    virtual void setText(const QString &crlfText) = 0;
    // Focus to the edit box, caret to the end of its text.
    virtual void focusTextAtEnd() = 0;
    // The preview flag `mBoolPreviewEnabled`.
    virtual bool previewEnabled() const = 0;
    virtual void setPreviewEnabled(bool enabled) = 0;
    // Whether `chkAutoPreview` is checked.
    virtual bool autoPreview() const = 0;
    // Redraws the text preview (`doPreview`).
    virtual void doPreview() = 0;
};

// The track-list imports of the buttons `cmdListMP3`, `cmdListM3U`, `cmdListFiles` and of a file
// dropped on the edit box. Each runs the whole import, preview flag included.
class TextImporters {
public:
    virtual ~TextImporters() = default;
    virtual void listMp3(TextEditorHost &editor) = 0;
    virtual void listPlaylist(TextEditorHost &editor) = 0;
    virtual void listFiles(TextEditorHost &editor) = 0;
    virtual void loadTextFromFile(TextEditorHost &editor, const QString &path) = 0;

    static TextImporters &get() { return platform::Seam<TextImporters>::get(); }
};

// The CD track-list wizard of the button `cmdCDDB`: shown modally over the text editor; it
// appends to the edit box or changes nothing.
class CdTrackListWizard {
public:
    virtual ~CdTrackListWizard() = default;
    virtual void showModal(TextEditorHost &editor) = 0;

    static CdTrackListWizard &get() { return platform::Seam<CdTrackListWizard>::get(); }
};

// The shadow and gradient dialogs of the effects list, modal over the text editor. They change
// gObjTextShadow / gObjTextGradient and redraw the editor's preview.
class TextEffectDialogs {
public:
    virtual ~TextEffectDialogs() = default;
    virtual void showShadow(TextEditorHost &editor) = 0;
    virtual void showGradient(TextEditorHost &editor) = 0;

    static TextEffectDialogs &get() { return platform::Seam<TextEffectDialogs>::get(); }
};

} // namespace texteditor

template <> platform::Seam<texteditor::TextImporters>::Factory &platform::Seam<texteditor::TextImporters>::defaultFactory();
template <> platform::Seam<texteditor::CdTrackListWizard>::Factory &platform::Seam<texteditor::CdTrackListWizard>::defaultFactory();
template <> platform::Seam<texteditor::TextEffectDialogs>::Factory &platform::Seam<texteditor::TextEffectDialogs>::defaultFactory();

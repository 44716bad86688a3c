#pragma once
// The text editor's track-list imports: MP3 files picked in folders, the MP3 entries of a
// playlist, the names in a folder, and a text file dropped on the edit box. Each appends its
// lines to the edit box; the button imports switch the editor's preview off while they run
// and ask for one preview at the end.
#include "texteditor/TextEditorSeams.h"

#include <memory>

class frmM3UParameters;

class TrackListImporters final : public texteditor::TextImporters {
public:
    TrackListImporters();
    ~TrackListImporters() override;

    void listMp3(texteditor::TextEditorHost &editor) override;      // cmdListMp3_Click
    void listPlaylist(texteditor::TextEditorHost &editor) override; // cmdListM3U_Click
    void listFiles(texteditor::TextEditorHost &editor) override;    // cmdListFiles_Click
    void loadTextFromFile(texteditor::TextEditorHost &editor, const QString &path) override;

private:
    // The playlist dialog stays loaded after a cancel, keeping its settings for the next time.
    std::unique_ptr<frmM3UParameters> mFrmM3UParameters;
};

// Installs these imports as the text editor's.
std::unique_ptr<texteditor::TextImporters> makeTrackListImporters();

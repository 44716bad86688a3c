#include "tracklists/TrackListImporters.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/mdlUtil.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "tracklists/FolderList.h"
#include "tracklists/Playlists.h"
#include "tracklists/TextLineReader.h"
#include "tracklists/TrackListRules.h"
#include "tracklists/frmChangeDirForm.h"
#include "tracklists/frmDirMp3.h"
#include "tracklists/frmM3UParameters.h"
#include "tracklists/mdlMp3.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kHourglass = 11;
const QString kSource = QStringLiteral("frmTextedit.");

// Lets the windows repaint during a long import, a few times a second.
class Yield {
public:
    Yield() { mTimer.start(); }
    void operator()()
    {
        if (mTimer.elapsed() >= 40) {
            QApplication::processEvents();
            mTimer.restart();
        }
    }

private:
    QElapsedTimer mTimer;
};

// Ends a button import: the preview comes back on and is drawn once.
void finishImport(texteditor::TextEditorHost &editor)
{
    editor.setPreviewEnabled(true);
    editor.doPreview();
}

// Tells the user why a file was not taken. True when there was such a reason.
bool toldRefusal(const TextLineReader &reader, const QString &path)
{
    const char *key = nullptr;
    const char *text = nullptr;
    switch (reader.refusal()) {
    case TextLineReader::Refusal::NotText:
        key = "MSG_NOT_A_TEXT_FILE";
        text = "@file@ is not a text file: nothing was taken from it.";
        break;
    case TextLineReader::Refusal::LineTooLong:
        key = "MSG_TEXT_LINE_TOO_LONG";
        text = "@file@ has a line longer than 64 KB and is no track list: nothing was taken from it.";
        break;
    case TextLineReader::Refusal::TooLarge:
        key = "MSG_TEXT_FILE_TOO_LARGE";
        text = "@file@ is larger than 16 MB and is no track list: nothing was taken from it.";
        break;
    default:
        return false;
    }
    QString message = getMessageText(QString::fromLatin1(key), QString::fromLatin1(text));
    message.replace(QStringLiteral("@file@"), QFileInfo(path).fileName());
    platform::Prompter::get().msgBox(message, platform::MsgStyle::Critical,
                                     gObjLanguageStore().getVar(QStringLiteral("ERRORS.ERR"), QStringLiteral("Error")));
    return true;
}

} // namespace

TrackListImporters::TrackListImporters() = default;
TrackListImporters::~TrackListImporters() = default;

void TrackListImporters::listMp3(texteditor::TextEditorHost &editor)
{
    editor.setPreviewEnabled(false);
    std::unique_ptr<frmDirMp3> dialog;
    try {
        dialog = std::make_unique<frmDirMp3>(editor.window());
        if (dialog->DirName().isEmpty()) {
            dialog.reset();
            editor.setPreviewEnabled(true);
            return;
        }
        const TrackLineChoice c = dialog->parameters().choice();
        const QStringList paths = dialog->lstSelectedFilesWithPath;
        QStringList lines;
        RowLimitPrompt limit;
        Yield yield;
        for (const QString &path : paths) {
            yield();
            const QString name = QFileInfo(path).fileName();
            if (name == QStringLiteral(".") || name == QStringLiteral(".."))
                continue;
            if (getExtension(path) == QStringLiteral("mp3"))
                lines.append(getMp3Caption(path, c.field1, c.sep1, c.field2, c.sep2, c.field3, QString()));
            else
                continue;
            if (!limit.countAndAsk())
                break;
        }
        alignTabColumns(lines);
        appendTrackLines(editor, lines, c.upper);
        dialog.reset();
        finishImport(editor);
    } catch (...) {
        dialog.reset();
        reportError(QStringLiteral("ERR_TEXTIMPORT_MP3"), kSource + QStringLiteral("cmdListMp3_Click"));
        editor.setPreviewEnabled(true);
    }
}

void TrackListImporters::listPlaylist(texteditor::TextEditorHost &editor)
{
    editor.setPreviewEnabled(false);
    try {
        platform::FileDialogRequest request;
        request.title = getMessageText(QStringLiteral("MSG_OPEN_PLAYLIST"), QStringLiteral("Playlist Öffnen"));
        request.filter = QStringLiteral("M3U-Playlists (*.m3u)|*.m3u|PLS-Playlist (*.pls)|*.pls");
        request.initialDir = startFolderOr(gStrMyMusicPath);
        const auto chosen = platform::Choosers::get().chooseFile(request);
        if (!chosen || chosen->path.isEmpty()) {
            mFrmM3UParameters.reset();
            editor.setPreviewEnabled(true);
            return;
        }
        if (!mFrmM3UParameters)
            mFrmM3UParameters = std::make_unique<frmM3UParameters>(editor.window());
        mFrmM3UParameters->showModal();
        if (mFrmM3UParameters->mBoolCancelled) {
            editor.setPreviewEnabled(true);
            return;
        }
        const TrackLineChoice c = mFrmM3UParameters->parameters().choice();
        const QString playlist = chosen->path;
        const QString folder = QFileInfo(playlist).absolutePath();
        // The playlist is read a line at a time, and no further than the answer to the
        // question after the 22nd entry allows; one larger than any playlist is refused
        // before the question.
        PlaylistEntryFilter filter(getExtension(playlist));
        TextLineReader reader;
        QStringList lines;
        RowLimitPrompt limit;
        Yield yield;
        if (filter.mayHoldEntries() && reader.open(playlist) && reader.mayReadAll()) {
            while (filter.mayHoldEntries()) {
                const std::optional<QString> line = reader.next();
                if (!line)
                    break;
                const std::optional<QString> entry = filter.entry(*line);
                if (!entry)
                    continue;
                yield();
                const QString path = localPathOfEntry(*entry, folder);
                lines.append(path.isEmpty() ? getErrorText(QStringLiteral("ERR_NOID3"), QStringLiteral("ERROR"))
                                            : getMp3Caption(path, c.field1, c.sep1, c.field2, c.sep2, c.field3, QString()));
                const bool askedBefore = limit.asked();
                if (!limit.countAndAsk())
                    break;
                // Yes to the question: the rest is read only when the whole file may be.
                if (!askedBefore && limit.asked() && !reader.mayReadAll())
                    break;
            }
        }
        if (toldRefusal(reader, playlist))
            lines.clear();
        appendTrackLines(editor, lines, c.upper);
        mFrmM3UParameters.reset();
        finishImport(editor);
    } catch (...) {
        mFrmM3UParameters.reset();
        reportError(QStringLiteral("ERR_TEXTIMPORT_PLAYLIST"), kSource + QStringLiteral("cmdListM3U_Click"));
        editor.setPreviewEnabled(true);
    }
}

void TrackListImporters::listFiles(texteditor::TextEditorHost &editor)
{
    const bool wasEmpty = editor.text().isEmpty();
    editor.setPreviewEnabled(false);
    std::unique_ptr<frmChangeDirForm> dialog;
    platform::Screen &screen = platform::Screen::get();
    try {
        dialog = std::make_unique<frmChangeDirForm>(editor.window());
        const QString chosen = dialog->DirName();
        if (chosen.isEmpty()) {
            dialog.reset();
            editor.setPreviewEnabled(true);
            return;
        }
        const QString folder = addBackslash(chosen);
        screen.setMousePointer(kHourglass);
        const bool keepExt = dialog->chkFileExtension->isChecked();
        QString type = dialog->cboFileTypes->currentText();
        type.remove(QStringLiteral("*."));
        const bool folders = dialog->optSelection[0]->isChecked() || dialog->optSelection[2]->isChecked();
        const bool files = dialog->optSelection[1]->isChecked() || dialog->optSelection[2]->isChecked();
        const bool upper = dialog->chkUCase->isChecked();
        dialog.reset();

        const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot,
                                                                 QDir::Name | QDir::IgnoreCase);
        QStringList taken;
        RowLimitPrompt limit;
        Yield yield;
        for (const QFileInfo &entry : entries) {
            yield();
            QString name = entry.fileName();
            if (upper)
                name = name.toUpper();
            if (entry.isDir()) {
                if (!folders)
                    continue;
            } else {
                if (!files || (type != QStringLiteral("*") && getExtension(name) != type))
                    continue;
                if (!keepExt)
                    name = stripExtension(name);
            }
            taken.append(name);
            if (!limit.countAndAsk())
                break;
        }
        if (!taken.isEmpty()) {
            QString text = QStringLiteral("\r\n") + taken.join(QStringLiteral("\r\n"));
            if (wasEmpty)
                text.remove(0, 2);
            editor.setText(editor.text() + text);
        }
        editor.focusTextAtEnd();
        finishImport(editor);
        screen.setMousePointer(0);
    } catch (...) {
        screen.setMousePointer(0);
        dialog.reset();
        reportError(QStringLiteral("ERR_TEXTIMPORT_FILESFOLDERS"), kSource + QStringLiteral("cmdListFiles_Click"));
        editor.setPreviewEnabled(true);
    }
}

void TrackListImporters::loadTextFromFile(texteditor::TextEditorHost &editor, const QString &path)
{
    try {
        if (!QFileInfo(path).isFile())
            return;
        // Line by line: what comes before the question after the 22nd line, the rest only on
        // Yes. A file that is no text, or larger than any track list, is refused before anything
        // is taken and before the question.
        TextLineReader reader;
        if (!reader.open(path) && reader.refusal() == TextLineReader::Refusal::CannotOpen)
            throw AppError(ErrNo::PermissionDenied,
                           getMessageText(QStringLiteral("MSG_TEXT_FILE_NOT_OPENED"), QStringLiteral("@file@ cannot be opened."))
                               .replace(QStringLiteral("@file@"), QFileInfo(path).fileName()));
        if (!reader.mayReadAll()) {
            toldRefusal(reader, path);
            return;
        }
        // The lines are joined as they come, after what the edit box holds.
        QString text = editor.text();
        const qsizetype before = text.size();
        int taken = 0;
        RowLimitPrompt limit;
        while (const std::optional<QString> line = reader.next()) {
            const bool askedBefore = limit.asked();
            if (!limit.askBeforeNext(taken))
                break;
            if (!askedBefore && limit.asked() && !reader.mayReadAll())
                break;
            if (taken > 0 || before > 0)
                text += QStringLiteral("\r\n");
            text += *line;
            ++taken;
        }
        if (toldRefusal(reader, path) || taken == 0)
            return;
        editor.setText(text);
    } catch (...) {
        reportError(QStringLiteral("ERR_LOADTEXTFILE"), kSource + QStringLiteral("loadTextFromFile"));
    }
}

std::unique_ptr<texteditor::TextImporters> makeTrackListImporters() { return std::make_unique<TrackListImporters>(); }

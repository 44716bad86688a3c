#include "TrackListTestSupport.h"

#include "core/Globals.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"
#include "platform/widgets/ButtonPlus.h"
#include "tracklists/FolderList.h"
#include "tracklists/TrackListImporters.h"
#include "tracklists/frmChangeDirForm.h"
#include "tracklists/frmDirMp3.h"
#include "tracklists/frmM3UParameters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

namespace {

using tracktest::TrackListTest;

// While it lives, this thread is without root's override of file permissions (as every other
// user is), so that a file without permissions cannot be opened, also when the tests run as
// root. Capabilities belong to a thread: the rest of the process keeps its own.
class WithoutPermissionOverride {
public:
    WithoutPermissionOverride()
    {
        if (syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct lowered[2];
        std::memcpy(lowered, saved_, sizeof saved_);
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
            lowered[cap / 32].effective &= ~(1u << (cap % 32));
        lowered_ = syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~WithoutPermissionOverride()
    {
        if (lowered_)
            syscall(SYS_capset, &header_, saved_);
    }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool lowered_ = false;
};

class Importers : public TrackListTest {
protected:
    void SetUp() override
    {
        TrackListTest::SetUp();
        for (const char *name : {"cbr.mp3", "vbr.mp3", "mono22.mp3", "id3v2-only.mp3"})
            fixture(name);
        gStrMyMusicPath = path("music");
    }
    static QStringList texts(const QListWidget *list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    QString noTag() const { return errorText("ERR_NOID3"); }
    // Lines "line 1" to "line n", each ended by LF.
    static QByteArray numberedLines(int n)
    {
        QByteArray b;
        for (int i = 1; i <= n; ++i)
            b += "line " + QByteArray::number(i) + "\n";
        return b;
    }

    TrackListImporters importers;
};

// What the user does in the dialogs, with the mouse and the keyboard. A dialog is shown first.
void show(QDialog &dialog) { testsupport::showActive(&dialog); }
void click(QWidget *widget)
{
    // A check box or an option button is clicked on its box; a button in its middle.
    QPoint at;
    if (qobject_cast<QCheckBox *>(widget) || qobject_cast<QRadioButton *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(widget);
        const auto element = qobject_cast<QCheckBox *>(widget) ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator;
        at = widget->style()->subElementRect(element, &option, widget).center();
    }
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}
void clickRow(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}
void tick(QCheckBox *box, bool on)
{
    if (box->isChecked() != on)
        click(box);
}
// Chooses an entry of a drop-down list from the keyboard: the first entry, then down.
void choose(QComboBox *box, int index)
{
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(box->currentIndex(), index);
}

TEST_F(Importers, Mp3FilesBecomeAlignedTrackLines)
{
    editor.mText = "Existing";
    runner->then<frmDirMp3>([](frmDirMp3 &d) {
        show(d);
        EXPECT_EQ(texts(d.lstFilesInFolder), QStringList({"cbr.mp3", "id3v2-only.mp3", "mono22.mp3", "vbr.mp3"}));
        EXPECT_EQ(texts(d.lstSorting), QStringList({"Artist", "Title", "Duration"}));
        EXPECT_EQ(d.txtPreview->text(), "Artist - Title - Duration");
        EXPECT_EQ(d.cboSeparator1->count(), 4); // the last separator is not offered
        click(d.chkDuration);
        choose(d.cboSeparator1, 1); // the tab label
        EXPECT_EQ(d.txtPreview->text(), "Artist   Title");
        click(d.cmdSelectAllFiles);
        EXPECT_EQ(d.lstFilesInFolder->count(), 0);
        click(d.cmdOK);
    });
    importers.listMp3(editor);
    EXPECT_EQ(editor.mText, QString::fromUtf8("Existing\r\n"
                                              "Die Ärzte Grüße € Song\r\n") +
                                noTag() + "\r\nMono      Low Rate\r\nEncoder   Variable");
    EXPECT_EQ(editor.previewFlags, std::vector<bool>({false, true}));
    EXPECT_EQ(editor.previews, 1);
    EXPECT_GE(editor.focusCalls, 1);

    // In capitals the columns stay in line: "ß", whose capital is two letters, stays as it is.
    editor.mText.clear();
    runner->then<frmDirMp3>([](frmDirMp3 &d) {
        show(d);
        click(d.chkDuration);
        choose(d.cboSeparator1, 1);
        click(d.cmdDown); // the title first
        click(d.chkUCase);
        click(d.cmdSelectAllFiles);
        click(d.cmdOK);
    });
    importers.listMp3(editor);
    EXPECT_EQ(editor.mText, QString::fromUtf8("GRÜßE € SONG DIE ÄRZTE\r\n") + noTag().toUpper() +
                                "\r\nLOW RATE     MONO\r\nVARIABLE     ENCODER");

    // In German the artist has one name, on its check box and in the order list.
    setLanguage(QStringLiteral(PELMORA_SOURCE_DIR "/resources/language/Deutsch.dll"));
    loadMp3FieldNames();
    runner->then<frmDirMp3>([](frmDirMp3 &d) {
        show(d);
        EXPECT_EQ(d.chkArtist->text(), QString::fromUtf8("Künstler"));
        EXPECT_EQ(texts(d.lstSorting), QStringList({QString::fromUtf8("Künstler"), "Titel", "Dauer"}));
        EXPECT_EQ(d.txtPreview->text(), QString::fromUtf8("Künstler - Titel - Dauer"));
        click(d.cmdCancel);
    });
    importers.listMp3(editor);
}

TEST_F(Importers, Mp3DialogOrderSeparatorsAndChosenList)
{
    QDir().mkpath(path("music/other"));
    fixture("vbr.mp3", "music/other/elsewhere.mp3");
    runner->then<frmDirMp3>([this](frmDirMp3 &d) {
        show(d);
        // Title first, then duration; " * " after the title, upper case.
        clickRow(d.lstSorting, 1);
        click(d.cmdUp);
        click(d.chkArtist); // a field click resets the order ...
        EXPECT_EQ(texts(d.lstSorting), QStringList({"Title", "Duration"}));
        clickRow(d.lstSorting, 1);
        click(d.cmdDown); // ... and the last one stays last
        choose(d.cboSeparator1, 3);
        click(d.chkUCase);
        EXPECT_EQ(d.txtPreview->text(), "TITLE * DURATION");

        // A file from another folder stays chosen and is not listed again.
        clickRow(d.lstFilesInFolder, 2); // mono22.mp3
        click(d.cmdSelectFile);
        d.Dir1->setPath(path("music/other"));
        EXPECT_EQ(texts(d.lstFilesInFolder), QStringList({"elsewhere.mp3"}));
        click(d.cmdSelectFile); // the current entry
        d.Dir1->setPath(path("music"));
        EXPECT_EQ(texts(d.lstFilesInFolder), QStringList({"cbr.mp3", "id3v2-only.mp3", "vbr.mp3"}));
        // Removing it here does not list it in this folder; the Delete key removes too.
        clickRow(d.lstSelectedFiles, 1);
        QTest::keyClick(d.lstSelectedFiles, Qt::Key_Delete);
        EXPECT_EQ(texts(d.lstSelectedFiles), QStringList({"mono22.mp3"}));
        EXPECT_EQ(d.lstFilesInFolder->count(), 3);
        clickRow(d.lstSelectedFiles, 0);
        click(d.cmdRemoveItem);
        EXPECT_EQ(texts(d.lstFilesInFolder), QStringList({"cbr.mp3", "id3v2-only.mp3", "vbr.mp3", "mono22.mp3"}));
        clickRow(d.lstFilesInFolder, 3);
        click(d.cmdSelectFile);
        click(d.cmdOK);
    });
    importers.listMp3(editor);
    EXPECT_EQ(editor.mText, "LOW RATE * 00:10");
}

TEST_F(Importers, Mp3CancelAndNoFieldAppendNothing)
{
    runner->then<frmDirMp3>([](frmDirMp3 &d) {
        show(d);
        click(d.cmdSelectAllFiles);
        click(d.cmdCancel);
    });
    runner->then<frmDirMp3>([](frmDirMp3 &d) {
        show(d);
        click(d.cmdSelectAllFiles);
        for (QCheckBox *box : {d.chkTitle, d.chkArtist, d.chkDuration})
            click(box);
        click(d.cmdOK);
    });
    importers.listMp3(editor);
    importers.listMp3(editor);
    EXPECT_EQ(editor.mText, "");
    EXPECT_EQ(editor.textSets, 0);
    EXPECT_EQ(editor.previewFlags, std::vector<bool>({false, true, false, true}));
    EXPECT_EQ(editor.previews, 0);
}

TEST_F(Importers, TheQuestionAfterThe22ndEntry)
{
    for (int i = 0; i < 30; ++i)
        fixture("mono22.mp3", QStringLiteral("many/%1.mp3").arg(i, 2, 10, QChar('0')));
    gStrMyMusicPath = path("many");
    for (int answer : {platform::MsgAnswer::No, platform::MsgAnswer::Yes}) {
        editor.mText.clear();
        prompter->shown.clear();
        prompter->answers.push_back(answer);
        runner->then<frmDirMp3>([](frmDirMp3 &d) {
            show(d);
            click(d.chkArtist);
            click(d.chkDuration);
            click(d.cmdSelectAllFiles);
            click(d.cmdOK);
        });
        importers.listMp3(editor);
        EXPECT_EQ(editor.mText.split("\r\n").size(), answer == platform::MsgAnswer::No ? 22 : 30);
        ASSERT_EQ(prompter->shown.size(), 1u);
        EXPECT_EQ(prompter->shown[0].prompt,
                  "More than 20 entries are being taken over. Do you want to take over all of them?");
        EXPECT_EQ(prompter->shown[0].title, "Message");
        EXPECT_EQ(prompter->shown[0].style, platform::MsgStyle::YesNo);
    }
}

TEST_F(Importers, PlaylistEntriesOfEveryKind)
{
    writeFile("lists/mix.m3u", "#EXTM3U\r\n#EXTINF:10,Whatever\r\n../music/cbr.mp3\r\n" +
                                   QFile::encodeName(path("music/mono22.mp3")) +
                                   "\r\nhttp://example.invalid/a.mp3\r\nC:\\Music\\b.mp3\r\nmissing.mp3\r\n"
                                   "file://" + QFile::encodeName(path("music/vbr.mp3")) + "\r\nnotes.txt\r\n");
    choosers->files.push_back(platform::FileDialogResult{path("lists/mix.m3u"), 1});
    editor.mText = "Top";
    runner->then<frmM3UParameters>([](frmM3UParameters &d) {
        show(d);
        click(d.chkArtist);
        click(d.chkDuration);
        click(d.cmdOK);
    });
    importers.listPlaylist(editor);
    ASSERT_EQ(choosers->fileRequests.size(), 1u);
    EXPECT_EQ(choosers->fileRequests[0].title, "Open a playlist");
    EXPECT_EQ(choosers->fileRequests[0].filter, "M3U-Playlists (*.m3u)|*.m3u|PLS-Playlist (*.pls)|*.pls");
    EXPECT_EQ(choosers->fileRequests[0].initialDir, path("music"));
    EXPECT_EQ(editor.mText, QString::fromUtf8("Top\r\nGrüße € Song\r\nLow Rate\r\n") + noTag() + "\r\n" + noTag() +
                                "\r\n" + noTag() + "\r\nVariable");
    EXPECT_EQ(editor.previewFlags, std::vector<bool>({false, true}));
    EXPECT_EQ(editor.previews, 1);

    // PLS with tabs between the fields: not aligned.
    writeFile("lists/mix.pls", "[playlist]\nFile1=..\\music\\vbr.mp3\nTitle1=File.mp3\nFile2=../music/mono22.mp3\n");
    choosers->files.push_back(platform::FileDialogResult{path("lists/mix.pls"), 2});
    editor.mText.clear();
    runner->then<frmM3UParameters>([](frmM3UParameters &d) {
        show(d);
        click(d.chkDuration);
        choose(d.cboSeparator1, 1);
        click(d.cmdOK);
    });
    importers.listPlaylist(editor);
    EXPECT_EQ(editor.mText, "Encoder\tVariable\r\nMono\tLow Rate");
}

TEST_F(Importers, PlaylistCancelsKeepTheDialogsSettings)
{
    choosers->files.push_back(std::nullopt);
    importers.listPlaylist(editor);
    writeFile("lists/a.m3u", "../music/vbr.mp3\n");
    choosers->files.push_back(platform::FileDialogResult{path("lists/a.m3u"), 1});
    choosers->files.push_back(platform::FileDialogResult{path("lists/a.m3u"), 1});
    frmM3UParameters *first = nullptr;
    runner->then<frmM3UParameters>([&](frmM3UParameters &d) {
        show(d);
        first = &d;
        click(d.chkUCase);
        click(d.cmdCancel);
    });
    runner->then<frmM3UParameters>([&](frmM3UParameters &d) {
        show(d);
        EXPECT_EQ(&d, first);
        EXPECT_TRUE(d.chkUCase->isChecked());
        click(d.cmdOK);
    });
    importers.listPlaylist(editor);
    EXPECT_EQ(editor.mText, "");
    importers.listPlaylist(editor);
    EXPECT_EQ(editor.mText, "ENCODER - VARIABLE - 00:10");
    EXPECT_EQ(editor.previewFlags, std::vector<bool>({false, true, false, true, false, true}));
    EXPECT_EQ(editor.previews, 1);
}

TEST_F(Importers, LongPlaylistAsksOnceAndAppendsOnce)
{
    QByteArray list;
    for (int i = 0; i < 100000; ++i)
        list += "gone/" + QByteArray::number(i) + ".mp3\r\n";
    writeFile("lists/long.m3u", list);
    choosers->files.push_back(platform::FileDialogResult{path("lists/long.m3u"), 1});
    prompter->answers.push_back(platform::MsgAnswer::Yes);
    runner->then<frmM3UParameters>([](frmM3UParameters &d) {
        show(d);
        click(d.cmdOK);
    });
    importers.listPlaylist(editor);
    EXPECT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(editor.textSets, 1);
    EXPECT_EQ(editor.mText.count("\r\n"), 99999);
}

TEST_F(Importers, FileListsOfAFolder)
{
    for (const char *dir : {"f/B", "f/a", "f/.hidden"})
        QDir().mkpath(path(dir));
    for (const char *file : {"f/x.txt", "f/archive.tar.gz", "f/Y.TXT", "f/readme", "f/.secret.txt"})
        writeFile(file, "");
    gStrStandardPath = path("f");
    struct Case {
        int option;
        QString type;
        bool keepExt, upper;
        QString expected;
    };
    const Case cases[] = {
        {0, "*.*", true, false, "a\r\nB"},
        {1, "*.*", true, false, "archive.tar.gz\r\nreadme\r\nx.txt\r\nY.TXT"},
        {1, "*.txt", false, true, "X\r\nY"},
        {2, "*.gz", false, false, "a\r\narchive.tar\r\nB"},
    };
    for (const Case &c : cases) {
        editor.mText.clear();
        runner->then<frmChangeDirForm>([&](frmChangeDirForm &d) {
            EXPECT_EQ(d.Dir1->path(), path("f"));
            EXPECT_EQ(d.cboFileTypes->itemText(0), "*.*");
            EXPECT_TRUE(d.optSelection[0]->isChecked());
            EXPECT_FALSE(d.chkFileExtension->isEnabled());
            show(d);
            click(d.optSelection[size_t(c.option)]);
            const int type = d.cboFileTypes->findText(c.type);
            ASSERT_GE(type, 0) << c.type.toStdString();
            choose(d.cboFileTypes, type);
            tick(d.chkFileExtension, c.keepExt);
            tick(d.chkUCase, c.upper);
            click(d.cmdOK);
        });
        importers.listFiles(editor);
        EXPECT_EQ(editor.mText, c.expected);
    }
    EXPECT_EQ(screen->history.back(), 0);
    EXPECT_NE(std::find(screen->history.begin(), screen->history.end(), 11), screen->history.end());

    // Text already there: the list starts on a new line. A cancel changes nothing. A new
    // folder is made in the shown one, which the dialog then shows.
    editor.mText = "Folders:";
    prompter->inputs = {QString(), QStringLiteral("New")};
    runner->then<frmChangeDirForm>([this](frmChangeDirForm &d) {
        show(d);
        click(d.Command3);
        click(d.Command3);
        EXPECT_EQ(d.Dir1->path(), path("f/New"));
        EXPECT_EQ(prompter->shown.back().prompt, "Create a new folder in: " + path("f"));
        EXPECT_EQ(prompter->shown.back().title, "Create a folder");
        d.Dir1->setPath(path("f"));
        click(d.cmdOK);
    });
    runner->then<frmChangeDirForm>([](frmChangeDirForm &d) {
        show(d);
        click(d.cmdCancel);
    });
    importers.listFiles(editor);
    importers.listFiles(editor);
    EXPECT_EQ(editor.mText, "Folders:\r\na\r\nB\r\nNew");
}

TEST_F(Importers, AFolderOfTenThousandFiles)
{
    QDir().mkpath(path("big"));
    for (int i = 0; i < 10000; ++i) {
        QFile f(path(QStringLiteral("big/%1.txt").arg(i)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    gStrStandardPath = path("big");
    prompter->answers = {platform::MsgAnswer::Yes};
    runner->then<frmChangeDirForm>([](frmChangeDirForm &d) {
        show(d);
        click(d.optSelection[1]);
        click(d.cmdOK);
    });
    importers.listFiles(editor);
    EXPECT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(editor.textSets, 1);
    const QStringList lines = editor.mText.split("\r\n");
    ASSERT_EQ(lines.size(), 10000);
    EXPECT_EQ(lines.mid(0, 3), QStringList({"0.txt", "1.txt", "10.txt"}));
}

TEST_F(Importers, DroppedTextFiles)
{
    writeFile("22.txt", numberedLines(22));
    writeFile("23.txt", numberedLines(23));
    importers.loadTextFromFile(editor, path("22.txt"));
    EXPECT_TRUE(prompter->shown.empty());
    EXPECT_EQ(editor.mText.split("\r\n").size(), 22);

    editor.mText = "Before";
    prompter->answers = {platform::MsgAnswer::No};
    importers.loadTextFromFile(editor, path("23.txt"));
    EXPECT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(editor.mText.startsWith("Before\r\nline 1\r\n"));
    EXPECT_TRUE(editor.mText.endsWith("\r\nline 22"));

    editor.mText.clear();
    prompter->answers = {platform::MsgAnswer::Yes};
    importers.loadTextFromFile(editor, path("23.txt"));
    EXPECT_TRUE(editor.mText.endsWith("line 22\r\nline 23"));

    // UTF-16 with its byte order mark is text.
    editor.mText.clear();
    writeFile("utf16.txt", QByteArray("\xFF\xFEG\0r\0\xFC\0\xDF\0e\0\r\0\n\0S\0", 18));
    importers.loadTextFromFile(editor, path("utf16.txt"));
    EXPECT_EQ(editor.mText, QString::fromUtf8("Grüße\r\nS"));

    // A missing file or a folder changes nothing.
    editor.mText.clear();
    const int before = editor.textSets;
    importers.loadTextFromFile(editor, path("missing.txt"));
    importers.loadTextFromFile(editor, path("music"));
    EXPECT_EQ(editor.textSets, before);
    // The drop never touches the preview flag.
    EXPECT_TRUE(editor.previewFlags.empty());
}

TEST_F(Importers, WhatIsNoTrackListIsRefusedWithAMessageAndNothingIsTaken)
{
    // Dropped text files and playlists: bytes that are no text, a line longer than 64 KiB, more
    // than 16 MiB (said before any question after the 22nd line or entry).
    QByteArray large;
    while (large.size() <= 16 * 1024 * 1024)
        large += "gone/" + QByteArray::number(large.size()) + ".mp3\n";
    struct Case {
        QString file;
        QByteArray bytes;
        QString message;
    };
    const Case cases[] = {
        {"binary.bin", QByteArray("\x00\x01\xFF\xFE\r\x89PNG", 9), "binary.bin is not a text file: nothing was taken from it."},
        {"long.txt", "a\n" + QByteArray(65537, 'b') + "\nc\n",
         "long.txt has a line longer than 64 KB and is no track list: nothing was taken from it."},
        {"large.txt", large, "large.txt is larger than 16 MB and is no track list: nothing was taken from it."},
        {"lists/one-line.m3u", QByteArray(70000, 'x') + ".mp3",
         "one-line.m3u has a line longer than 64 KB and is no track list: nothing was taken from it."},
        {"lists/large.m3u", large, "large.m3u is larger than 16 MB and is no track list: nothing was taken from it."},
    };
    editor.mText = "Kept";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        writeFile(c.file, c.bytes);
        prompter->shown.clear();
        prompter->answers = {platform::MsgAnswer::Yes};
        if (c.file.endsWith(".m3u")) {
            choosers->files.push_back(platform::FileDialogResult{path(c.file), 1});
            runner->then<frmM3UParameters>([](frmM3UParameters &d) {
                show(d);
                click(d.cmdOK);
            });
            importers.listPlaylist(editor);
        } else {
            importers.loadTextFromFile(editor, path(c.file));
        }
        ASSERT_EQ(prompter->shown.size(), 1u) << "no question before the refusal";
        EXPECT_EQ(prompter->shown.back().prompt, c.message);
        EXPECT_EQ(prompter->shown.back().style, platform::MsgStyle::Critical);
        EXPECT_EQ(editor.mText, "Kept");
    }

    // A file that cannot be opened is reported in the program's language, by its name.
    writeFile("locked.txt", "a\n");
    QFile::setPermissions(path("locked.txt"), QFileDevice::Permissions());
    const WithoutPermissionOverride asAnyUser;
    ASSERT_FALSE(QFile(path("locked.txt")).open(QIODevice::ReadOnly)) << "the file is not locked";
    prompter->shown.clear();
    importers.loadTextFromFile(editor, path("locked.txt"));
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains(errorText("ERR_LOADTEXTFILE")));
    EXPECT_TRUE(prompter->shown[0].prompt.endsWith(" locked.txt cannot be opened.")) << prompter->shown[0].prompt.toStdString();
    EXPECT_EQ(editor.mText, "Kept");
}

} // namespace

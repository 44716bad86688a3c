// The folder, window and scanner pages of the options: the music, image and scan folders,
// the always-on-top state and scanning to a file.
#include "dialogs/frmOptions.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/mdlUtil.h"
#include "core/mdlUtilWindows.h"
#include "dialogs/ClickableLabel.h"
#include "dialogs/OptionsControls.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using optionspages::named;
using optionspages::pictureButton;

void frmOptions::buildFolderPages()
{
    // Folders.
    {
        auto *page = new QGridLayout(picOptions[2]);
        page->addWidget(named(new QLabel(QStringLiteral("Musikordner")), QStringLiteral("lblMyMusicPath")), 0, 0, 1, 3);
        txtMyMusicPath = named(new QLineEdit, QStringLiteral("txtMyMusicPath"));
        txtMyMusicPath->setReadOnly(true);
        cmdMyMusicPath = pictureButton(QStyle::SP_DirOpenIcon, QStringLiteral("cmdMyMusicPath"), this);
        cmdDeleteMyMusicPath = pictureButton(QStyle::SP_DialogResetButton, QStringLiteral("cmdDeleteMyMusicPath"), this);
        page->addWidget(txtMyMusicPath, 1, 0);
        page->addWidget(cmdMyMusicPath, 1, 1);
        page->addWidget(cmdDeleteMyMusicPath, 1, 2);
        page->addWidget(named(new QLabel(QStringLiteral("Bilderordner")), QStringLiteral("lblStandardPath")), 2, 0, 1, 3);
        txtStandardPath = named(new QLineEdit, QStringLiteral("txtStandardPath"));
        txtStandardPath->setReadOnly(true);
        cmdImagePath = pictureButton(QStyle::SP_DirOpenIcon, QStringLiteral("cmdImagePath"), this);
        cmdDeleteImagePath = pictureButton(QStyle::SP_DialogResetButton, QStringLiteral("cmdDeleteImagePath"), this);
        page->addWidget(txtStandardPath, 3, 0);
        page->addWidget(cmdImagePath, 3, 1);
        page->addWidget(cmdDeleteImagePath, 3, 2);
        page->setRowStretch(4, 1);
    }

    // Window.
    {
        auto *page = new QVBoxLayout(picOptions[3]);
        chkForeground = named(new QCheckBox(QStringLiteral("Pelmora immer im Vordergrund anzeigen?")), QStringLiteral("chkForeground"));
        page->addWidget(chkForeground);
        page->addStretch();
    }
}

void frmOptions::buildScannerPage()
{
    auto *page = new QVBoxLayout(picOptions[5]);
    chkScanToFile = named(new QCheckBox(QStringLiteral("Gescannte Bilder als Datei abspeichern?")), QStringLiteral("chkScanToFile"));
    page->addWidget(chkScanToFile);
    fraScanPath = named(new QGroupBox(QStringLiteral("Ordner")), QStringLiteral("fraScanPath"));
    auto *sl = new QHBoxLayout(fraScanPath);
    txtScanPath = named(new QLineEdit, QStringLiteral("txtScanPath"));
    txtScanPath->setReadOnly(true);
    cmdScanPath = pictureButton(QStyle::SP_DirOpenIcon, QStringLiteral("cmdScanPath"), this);
    cmdDeleteScanPath = pictureButton(QStyle::SP_DialogResetButton, QStringLiteral("cmdDeleteScanPath"), this);
    sl->addWidget(txtScanPath);
    sl->addWidget(cmdScanPath);
    sl->addWidget(cmdDeleteScanPath);
    page->addWidget(fraScanPath);
    page->addStretch();
}

void frmOptions::connectFolderPages()
{
    connect(chkScanToFile, &QCheckBox::toggled, this, [this] { chkScanToFile_Click(); });
    connect(cmdScanPath, &ClickableLabel::clicked, this, [this] { cmdScanPath_Click(); });
    connect(cmdImagePath, &ClickableLabel::clicked, this, [this] { cmdImagePath_Click(); });
    connect(cmdMyMusicPath, &ClickableLabel::clicked, this, [this] { cmdMyMusicPath_Click(); });
    connect(cmdDeleteScanPath, &ClickableLabel::clicked, this, [this] { cmdDeleteScanPath_Click(); });
    connect(cmdDeleteImagePath, &ClickableLabel::clicked, this, [this] { cmdDeleteImagePath_Click(); });
    connect(chkForeground, &QCheckBox::toggled, this, [this] { chkForeground_Click(); });
}

void frmOptions::loadFolders()
{
    txtStandardPath->setText(gStrStandardPath);
    txtScanPath->setText(gStrScanPath);
    txtMyMusicPath->setText(gStrMyMusicPath);
    clsEnvAll &store = gObjOptionsStore();
    try {
        store.saveVar(QStringLiteral("OPTIONS.SCANPATH"), txtScanPath->text());
        store.saveVar(QStringLiteral("OPTIONS.STANDARDPATH"), txtStandardPath->text());
        store.saveVar(QStringLiteral("OPTIONS.MYMUSICPATH"), txtMyMusicPath->text());
    } catch (...) {
        reportError(QStringLiteral("ERR_SAVE_ERROR"), QStringLiteral("frmOptions.Form_Load"));
    }
}

void frmOptions::chkScanToFile_Click()
{
    if (chkScanToFile->isChecked())
        enableFrameControls(fraScanPath);
    else
        enableFrameControlsExcept(fraScanPath, QString());
}

void frmOptions::pickFolder(QString &variable, QLineEdit *box, const QString &title)
{
    try {
        const QString old = variable;
        variable = BrowseForFolder(title);
        if (variable.isEmpty() || variable == old) {
            variable = old;
            box->setText(old);
        } else {
            box->setText(variable);
        }
    } catch (...) {
    }
}

void frmOptions::cmdScanPath_Click()
{
    pickFolder(gStrScanPath, txtScanPath, gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG_SELECT_SCAN_FOLDER")));
}

void frmOptions::cmdImagePath_Click()
{
    pickFolder(gStrStandardPath, txtStandardPath,
               gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG_SELECT_FOLDER"), QStringLiteral("Please choose folder")));
}

void frmOptions::cmdMyMusicPath_Click()
{
    pickFolder(gStrMyMusicPath, txtMyMusicPath,
               gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG_SELECT_FOLDER"), QStringLiteral("Please choose folder")));
}

void frmOptions::cmdDeleteScanPath_Click() { txtScanPath->clear(); }

void frmOptions::cmdDeleteImagePath_Click()
{
    txtStandardPath->clear();
    gStrStandardPath.clear();
}

void frmOptions::chkForeground_Click() { gByteForeground = chkForeground->isChecked() ? 1 : 0; }

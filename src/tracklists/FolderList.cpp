#include "tracklists/FolderList.h"

#include "core/ErrorReport.h"
#include "core/mdlUtil.h"
#include "platform/ui/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace {
constexpr int kPathRole = Qt::UserRole + 1;
}

FolderList::FolderList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this] { emit folderClicked(); });
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        setPath(item->data(kPathRole).toString());
    });
}

void FolderList::setPath(const QString &folder)
{
    const QString target = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!QFileInfo(target).isDir())
        return;
    const bool other = target != mStrPath;
    mStrPath = target;
    refresh();
    if (other)
        emit changed();
}

void FolderList::refresh()
{
    const QSignalBlocker block(this);
    clear();
    QStringList chain;
    for (QDir d(mStrPath);; ) {
        chain.prepend(d.absolutePath());
        if (!d.cdUp())
            break;
    }
    int depth = 0;
    for (const QString &p : chain) {
        const QString name = p == QStringLiteral("/") ? p : QFileInfo(p).fileName();
        auto *item = new QListWidgetItem(QString(depth * 2, u' ') + name, this);
        item->setData(kPathRole, p);
        ++depth;
    }
    const int current = count() - 1;
    const QStringList subfolders = QDir(mStrPath).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : subfolders) {
        auto *item = new QListWidgetItem(QString(depth * 2, u' ') + name, this);
        item->setData(kPathRole, addBackslash(mStrPath) + name);
    }
    setCurrentRow(current);
}

QString FolderList::highlightedPath() const
{
    const QListWidgetItem *item = currentItem();
    return item ? item->data(kPathRole).toString() : mStrPath;
}

DriveList::DriveList(QWidget *parent) : QComboBox(parent)
{
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            roots.append(volume.rootPath());
    roots.removeDuplicates();
    roots.sort(Qt::CaseInsensitive);
    addItems(roots);
    connect(this, &QComboBox::activated, this, [this](int i) { emit driveChanged(itemText(i)); });
}

void DriveList::showDriveOf(const QString &folder)
{
    const QString root = QStorageInfo(folder).rootPath();
    if (root.isEmpty())
        return;
    const QSignalBlocker block(this);
    int i = findText(root);
    if (i < 0) {
        addItem(root);
        i = count() - 1;
    }
    setCurrentIndex(i);
}

QString startFolderOr(const QString &folder)
{
    if (!folder.isEmpty() && fileExistsByAssociation(folder) && QFileInfo(folder).isDir())
        return folder;
    return QDir::homePath();
}

void makeNewFolder(FolderList *dir)
{
    QString name;
    QString prompt = getMessageText(QStringLiteral("MSG_NEW_FOLDER_IN"), QStringLiteral("Neues Verzeichnis erstellen in: @folder@"));
    prompt.replace(QStringLiteral("@folder@"), dir->path());
    if (!platform::Prompter::get().inputBox(prompt, getMessageText(QStringLiteral("MSG_NEW_FOLDER"), QStringLiteral("Verzeichnis erstellen")),
                                            QString(), name) ||
        name.isEmpty())
        return;
    const QString target = addBackslash(dir->path()) + name;
    if (QDir().mkdir(target))
        dir->setPath(target);
}

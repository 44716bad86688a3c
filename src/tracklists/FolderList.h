#pragma once
// The folder list of the folder dialogs: the current folder with the folders above it and the
// folders in it. A click highlights a folder, a double click (or Enter) goes into it. Hidden
// folders (names starting with ".") are left out; folders come sorted by name, letter case
// ignored.
#include <QComboBox>
#include <QListWidget>

class FolderList : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget *parent = nullptr);

    // The current folder.
    const QString &path() const { return mStrPath; }
    // Goes into a folder and lists it; emits changed() when it was another folder.
    void setPath(const QString &folder);
    // Lists the current folder again.
    void refresh();
    // The highlighted folder: the current one unless the user clicked another.
    QString highlightedPath() const;

signals:
    void changed();
    void folderClicked();

private:
    QString mStrPath;
};

// The drive list: the mounted volumes, by the folder they are mounted on.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent = nullptr);

    // Shows the volume that holds a folder, without telling anyone.
    void showDriveOf(const QString &folder);

signals:
    // The user chose another volume.
    void driveChanged(const QString &root);
};

// The folder a dialog starts in: the given one when it exists, else the user's home.
QString startFolderOr(const QString &folder);
// Asks for the name of a new folder in the list's current one, makes it and goes there. A
// cancel, an empty name or a folder that cannot be made changes nothing.
void makeNewFolder(FolderList *dir);

#pragma once
// The favourites editor, modal over the web browser: lists the favourites' descriptions in
// file order; the chosen one's description and address can be changed (the address must have
// the form of a web address) or the favourite deleted. Closing it, and every delete command,
// writes the whole favourites file from the list and rebuilds the browser's favourite items.
// Choosing another favourite with unsaved edits asks first whether to save them.
#include <QDialog>
#include <QPointer>
#include <QStringList>

class ButtonPlus;
class QLabel;
class QLineEdit;
class QListWidget;
class frmSearch;

// Tells the user that the favourites file could not be read and is left as it is.
void tellFavoritesUnreadable();

class frmFavorites : public QDialog {
    Q_OBJECT
public:
    // Loads the favourites; browser gets its favourite items rebuilt on closing.
    frmFavorites(frmSearch *browser, QWidget *parent = nullptr);
    ~frmFavorites() override;

    // Controls. lstLinks holds the addresses, parallel to lstFavorites.
    QListWidget *lstFavorites = nullptr;
    QStringList lstLinks;
    QLabel *lblEditDescription = nullptr, *lblDescription = nullptr, *lblLink = nullptr;
    QLineEdit *txtDescription = nullptr, *txtLink = nullptr;
    ButtonPlus *cmdSave = nullptr, *cmdDelete = nullptr;

    // The list of the file, its first favourite shown.
    void Form_Load();
    // A favourite chosen (also by code): shows it, after offering to save the shown one.
    void lstFavorites_Click();
    // Offers to save unsaved edits of the shown favourite; then the chosen one is the shown.
    void checkChanges();
    void cmdSave_Click();
    void cmdDelete_Click();

protected:
    // Every way of closing runs the closing steps once.
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void loadingSteps();
    // Asks about unsaved edits, rewrites the file from the list, rebuilds the browser's items.
    void closingSteps();
    void storeFavorite(int position);
    void textChanged();
    // Changes selection or entries without running the selection handler.
    void setCurrentRowQuietly(int row);

    QPointer<frmSearch> mBrowser;
    QString mStrDescription, mStrLink;
    int mIntShownIndex = 0;
    bool mBoolLoading = false;
    bool mBoolQuiet = false;
    bool mBoolUnloaded = false;
    bool mBoolEdited = false;     // a favourite was stored or deleted
    bool mBoolUnreadable = false; // the file could not be read: it is never written over
    int mIntRowAtPress = -1; // the chosen entry when the mouse went down on the list
};

#pragma once
// The web browser for finding cover pictures: back, forward, refresh and stop, an address
// box whose drop-down keeps the last 20 typed addresses (data/links.dat, newest first), and
// a favourites menu (data/favorites.dat) with the program's home page first. Pictures go
// from the page to a cover by dragging them onto the main window.
//
// One window at a time: showSearch() opens it (loading history, favourites and the start
// page) or brings the open one to the front; closing it ends it.
//
// Only an address confirmed with Enter in the address box enters the history, once its
// page has loaded; a choice from the drop-down list, a link in the page, a favourite or
// going back never does.
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <vector>

class FavoritesFile;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QToolButton;
namespace platform::web { class WebBrowser; }

class frmSearch : public QMainWindow {
    Q_OBJECT
public:
    // Opens the one browser window without waiting and gives it the focus; when it is open
    // already, it comes to the front as it is. Closed with owner, when one is given.
    static frmSearch *showSearch(QWidget *owner = nullptr);
    // The open browser window, or none.
    static frmSearch *instance();

    explicit frmSearch(QWidget *parent = nullptr);
    ~frmSearch() override;

    // Controls.
    platform::web::WebBrowser *ie = nullptr;
    QLabel *lblAdress = nullptr;
    QComboBox *lstAdress = nullptr;
    std::array<QToolButton *, 4> cmdNavigate{}; // back, forward, refresh, stop
    QMenu *menuFavorites = nullptr;
    QAction *menuCreateFavorite = nullptr, *menuEditFavorite = nullptr;
    QAction *menuLine1 = nullptr, *menuLine2 = nullptr;
    std::vector<QAction *> mnuItem1; // 0 the home page, then one per favourite in file order

    // Localises the window, reads history and favourites and opens the start page.
    void Form_Load();
    // The start page: the picture search of the current language with the language and the
    // program's version, or "about:blank" when there is no network.
    QString startAddress() const;

    void cmdNavigate_Click(int index);
    // An entry chosen from the drop-down list.
    void lstAdress_Click();
    // A key typed in the address box: Enter (13 or 10) opens the address as typed.
    void lstAdress_KeyPress(int keyAscii);
    void ie_NavigateComplete2();
    void ie_NavigateError();
    void mnuItem1_Click(int index);
    void menuCreateFavorite_Click();
    void menuEditFavorite_Click();

    // Makes the favourite items those of the file: the home page item and one per favourite.
    void rebuildFavoriteItems(const FavoritesFile &file);
    // True from Enter in the address box until the next completed or failed navigation.
    bool addressTyped() const { return mBoolAddressTyped; }

protected:
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    // A new favourite item after the last one, not yet in the menu.
    QAction *makeFavoriteItem(const QString &caption);
    void layoutControls();
    void Form_Unload();

    bool mBoolAddressTyped = false;
    bool mBoolUnloaded = false;
};

// The web browser window with its address history and favourites menu.
#include "coverformats/frmSearch.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Version.h"
#include "core/libLanguage.h"
#include "core/mdlUtilWindows.h"
#include "coverformats/BrowserLists.h"
#include "coverformats/DialogRunner.h"
#include "coverformats/frmFavorites.h"
#include "mainwindow/frmPelmora.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/web/WebBrowser.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace {

QPointer<frmSearch> &current()
{
    static QPointer<frmSearch> window;
    return window;
}

QString language(const QString &key, const QString &defaultText = QString())
{
    return gObjLanguageStore().getVar(key, defaultText);
}

// Design positions in pixels.
constexpr int kButtonSize = 32;
constexpr int kMargin = 8;
constexpr int kAddressTop = 42;
constexpr int kAddressLeft = 72;
constexpr int kAddressHeight = 24;
constexpr int kPageTop = 72;
// Twips the page keeps free beside and below it, and the address box on its right.
constexpr double kPageWidthAllowance = 210;
constexpr double kPageHeightAllowance = 1500;
constexpr double kAddressRightAllowance = 175;

} // namespace

frmSearch *frmSearch::instance() { return current(); }

frmSearch *frmSearch::showSearch(QWidget *owner)
{
    if (frmSearch *open = current()) {
        if (open->isMinimized())
            open->showNormal();
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    auto *window = new frmSearch;
    window->setAttribute(Qt::WA_DeleteOnClose);
    current() = window;
    if (owner)
        connect(owner, &QObject::destroyed, window, &QObject::deleteLater);
    window->Form_Load();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

frmSearch::frmSearch(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(QStringLiteral("Pelmora - Webbrowser"));
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);

    const QStyle::StandardPixmap icons[] = {QStyle::SP_ArrowBack, QStyle::SP_ArrowForward,
                                            QStyle::SP_BrowserReload, QStyle::SP_BrowserStop};
    for (int i = 0; i < 4; ++i) {
        auto *b = new QToolButton(central);
        b->setObjectName(QStringLiteral("cmdNavigate_%1").arg(i));
        b->setProperty("index", i);
        b->setIcon(style()->standardIcon(icons[i]));
        b->setIconSize(QSize(22, 22));
        b->setGeometry(kMargin + i * (kButtonSize + 4), 4, kButtonSize, kButtonSize);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, i] { cmdNavigate_Click(i); });
        cmdNavigate[size_t(i)] = b;
    }

    lblAdress = new QLabel(QStringLiteral("Adresse:"), central);
    lblAdress->setObjectName(QStringLiteral("lblAdress"));
    lblAdress->setGeometry(kMargin, kAddressTop, kAddressLeft - kMargin - 4, kAddressHeight);

    lstAdress = new QComboBox(central);
    lstAdress->setObjectName(QStringLiteral("lstAdress"));
    lstAdress->setEditable(true);
    lstAdress->setInsertPolicy(QComboBox::NoInsert);
    lstAdress->setCompleter(nullptr);
    lstAdress->setMaxVisibleItems(AddressHistory::kMaxEntries);
    lstAdress->setGeometry(kAddressLeft, kAddressTop - 2, 400, kAddressHeight);
    // The box takes over nothing itself: leaving it with the text of an entry chooses
    // nothing, and Enter is ours.
    disconnect(lstAdress->lineEdit(), &QLineEdit::editingFinished, lstAdress, nullptr);
    lstAdress->installEventFilter(this);
    lstAdress->lineEdit()->installEventFilter(this);
    connect(lstAdress, &QComboBox::activated, this, [this](int) { lstAdress_Click(); });

    ie = new platform::web::WebBrowser(central);
    ie->setObjectName(QStringLiteral("ie"));
    ie->move(kMargin - 1, kPageTop);
    connect(ie, &platform::web::WebBrowser::NavigateComplete2, this, &frmSearch::ie_NavigateComplete2);
    connect(ie, &platform::web::WebBrowser::NavigateError, this, &frmSearch::ie_NavigateError);

    menuFavorites = menuBar()->addMenu(QStringLiteral("Favoriten"));
    menuFavorites->setObjectName(QStringLiteral("menuFavorites"));
    const auto action = [this](const char *name, const QString &text) {
        auto *a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    menuCreateFavorite = action("menuCreateFavorite", QStringLiteral("Zu Favoriten hinzufügen"));
    menuEditFavorite = action("menuEditFavorite", QStringLiteral("Favoriten verwalten"));
    menuLine1 = action("menuLine1", QString());
    menuLine1->setSeparator(true);
    menuLine2 = action("menuLine2", QString());
    menuLine2->setSeparator(true);
    QAction *home = action("mnuItem1_0", QStringLiteral("Pelmora Homepage"));
    home->setProperty("index", 0);
    connect(home, &QAction::triggered, this, [this] { mnuItem1_Click(0); });
    mnuItem1.push_back(home);
    menuFavorites->addActions({menuCreateFavorite, menuEditFavorite, menuLine1, home, menuLine2});
    connect(menuCreateFavorite, &QAction::triggered, this, &frmSearch::menuCreateFavorite_Click);
    connect(menuEditFavorite, &QAction::triggered, this, &frmSearch::menuEditFavorite_Click);

    // As large as the screen's free area allows, in the middle of it.
    resize(sizeWithinFreeArea(*this, QSize(900, 680)));
    placeInFreeArea(*this);
    layoutControls();
}

frmSearch::~frmSearch() = default;

void frmSearch::Form_Load()
{
    try {
        mBoolAddressTyped = false;
        changeLanguage(this);
        for (QToolButton *b : cmdNavigate)
            b->setAutoRaise(true); // flat until the pointer is over it
        const QStringList links = AddressHistory::load();
        const FavoritesFile favorites = FavoritesFile::load();
        try {
            lstAdress->addItems(links);
            lstAdress->setCurrentIndex(-1);
        } catch (...) {
        }
        rebuildFavoriteItems(favorites);
        ie->Navigate(startAddress());
    } catch (...) {
        reportError(QStringLiteral("ERR_LOAD_SEARCHENGINE"), QStringLiteral("frmSearch.frmSearch_Load"));
    }
}

QString frmSearch::startAddress() const
{
    if (ie->Offline())
        return QStringLiteral("about:blank");
    return gStrSearchURL + QStringLiteral("/?l=") + language(QStringLiteral("GENERAL.LANGUAGE_ID"), QStringLiteral("2"))
           + QStringLiteral("&v=") + QString::number(PELMORA_VERSION_MAJOR) + u'_'
           + QString::number(PELMORA_VERSION_MINOR);
}

void frmSearch::rebuildFavoriteItems(const FavoritesFile &file)
{
    // Only the home page item stays; the favourites' items follow it in file order.
    menuFavorites->clear();
    for (size_t i = 1; i < mnuItem1.size(); ++i)
        delete mnuItem1[i];
    mnuItem1.resize(1);
    menuFavorites->addActions({menuCreateFavorite, menuEditFavorite, menuLine1, mnuItem1[0]});
    const int n = file.count();
    QList<QAction *> items;
    items.reserve(n);
    for (int i = 0; i < n; ++i) {
        items << makeFavoriteItem(file.description(i, QStringLiteral("0")));
    }
    items << menuLine2;
    menuFavorites->addActions(items);
}

QAction *frmSearch::makeFavoriteItem(const QString &caption)
{
    const int index = int(mnuItem1.size());
    auto *a = new QAction(this);
    a->setObjectName(QStringLiteral("mnuItem1_%1").arg(index));
    a->setProperty("index", index);
    // The description as it stands: an "&" is no shortcut.
    a->setText(QString(caption).replace(u'&', QStringLiteral("&&")));
    connect(a, &QAction::triggered, this, [this, index] { mnuItem1_Click(index); });
    mnuItem1.push_back(a);
    return a;
}

void frmSearch::cmdNavigate_Click(int index)
{
    try {
        switch (index) {
        case 0: ie->GoBack(); break;
        case 1: ie->GoForward(); break;
        case 2: ie->Refresh(); break;
        case 3: ie->Stop(); break;
        default: break;
        }
    } catch (...) {
    }
}

void frmSearch::lstAdress_Click() { ie->Navigate2(lstAdress->currentText()); }

void frmSearch::lstAdress_KeyPress(int keyAscii)
{
    if (keyAscii != 13 && keyAscii != 10)
        return;
    mBoolAddressTyped = true;
    ie->Navigate2(lstAdress->currentText());
}

bool frmSearch::eventFilter(QObject *watched, QEvent *e)
{
    if ((watched == lstAdress || watched == lstAdress->lineEdit()) && e->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(e);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            lstAdress_KeyPress(13);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void frmSearch::ie_NavigateComplete2()
{
    setWindowTitle(language(QStringLiteral("frmSearch.frmSearch")) + QStringLiteral(" - ") + ie->documentTitle());
    lstAdress->setEditText(ie->LocationURL());
    if (!mBoolAddressTyped)
        return;
    mBoolAddressTyped = false;

    const QString address = lstAdress->currentText();
    QStringList entries;
    for (int i = 0; i < lstAdress->count(); ++i)
        entries << lstAdress->itemText(i);
    if (!address.isEmpty() && AddressHistory::contains(entries, address))
        return;
    entries.prepend(address);
    lstAdress->insertItem(0, address);
    while (entries.size() > AddressHistory::kMaxEntries) {
        entries.removeLast();
        lstAdress->removeItem(lstAdress->count() - 1);
    }
    lstAdress->setEditText(address);
    // Like every write of the list files, a failed one leaves the file as it was and the
    // window goes on with the list it shows.
    AddressHistory::save(AddressHistory::defaultPath(), entries);
}

void frmSearch::ie_NavigateError()
{
    mBoolAddressTyped = false;
    // The error page stands for the address that failed.
    lstAdress->setEditText(ie->LocationURL());
}

void frmSearch::mnuItem1_Click(int index)
{
    try {
        if (index == 0) {
            lstAdress->setEditText(gStrHomePageURL);
        } else if (index > 0) {
            const FavoritesFile favorites = FavoritesFile::load();
            lstAdress->setEditText(favorites.address(index - 1, QStringLiteral("0")));
        } else {
            throw AppError(ErrNo::SubscriptOutOfRange);
        }
        ie->Navigate2(lstAdress->currentText());
    } catch (...) {
        reportError(QStringLiteral("ERR_SELECT_FAVORITE"), QStringLiteral("frmSearch.mnuItem1_Click"));
    }
}

void frmSearch::menuCreateFavorite_Click()
{
    try {
        QString answer;
        for (;;) {
            answer.clear();
            const bool given = platform::Prompter::get().inputBox(
                language(QStringLiteral("MESSAGES.MSG_FAVORITE_NAME"), QStringLiteral("Please enter a description")),
                language(QStringLiteral("MESSAGES.MSG_ADD_FAVORITE"), QStringLiteral("Add a Favorite")),
                ie->documentTitle(), answer);
            if (!given || answer.isEmpty())
                return;
            if (!answer.trimmed().isEmpty())
                break;
            platform::Prompter::get().msgBox(
                language(QStringLiteral("ERRORS.ERR_FAVORITE_NAME"),
                         QStringLiteral("Please enter a valid description (at least 1 sign)")),
                platform::MsgStyle::Information, language(QStringLiteral("MESSAGES.MSG")));
        }
        QString error;
        if (FavoritesFile::append(FavoritesFile::defaultPath(), lstAdress->currentText(), answer, &error) < 0)
            throw AppError(ErrNo::PathFileAccess, error);
        menuFavorites->insertAction(menuLine2, makeFavoriteItem(answer));
    } catch (...) {
        reportError(QStringLiteral("ERR_SAVE_FAVORITES"), QStringLiteral("frmSearch.menuCreateFavorite_Click"));
    }
}

void frmSearch::menuEditFavorite_Click()
{
    try {
        const FavoritesFile favorites = FavoritesFile::load();
        if (favorites.count() >= 1) {
            frmFavorites editor(this, this);
            DialogRunner::get().run(editor);
        } else if (!favorites.readable()) {
            tellFavoritesUnreadable();
        } else {
            platform::Prompter::get().msgBox(
                language(QStringLiteral("MESSAGES.MSG_NO_FAVORITE"),
                         QStringLiteral("No favorites available!\r\nPlease create some favorites first.")),
                platform::MsgStyle::OkOnly, QStringLiteral("Pelmora"));
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_LOAD_FAVORITES"), QStringLiteral("frmSearch.menuEditFavorite_Click"));
    }
}

void frmSearch::layoutControls()
{
    // The window's outer size in twips; a size that leaves no room (a minimised window)
    // changes nothing.
    const platform::Screen &screen = platform::Screen::get();
    const double tx = screen.twipsPerPixelX(), ty = screen.twipsPerPixelY();
    const QSize outer = frameGeometry().size();
    const double width = outer.width() * tx, height = outer.height() * ty;
    const int pageWidth = int((width - kPageWidthAllowance) / tx);
    const int pageHeight = int((height - (cmdNavigate[0]->height() * ty + kPageHeightAllowance)) / ty);
    if (pageWidth > 0)
        ie->resize(pageWidth, ie->height());
    if (pageHeight > 0)
        ie->resize(ie->width(), pageHeight);
    const int addressWidth = int((width - (lstAdress->x() * tx + kAddressRightAllowance)) / tx);
    if (addressWidth > 0)
        lstAdress->resize(addressWidth, lstAdress->height());
}

void frmSearch::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    layoutControls();
}

void frmSearch::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    // The window manager's frame is known once the window is on the screen.
    QTimer::singleShot(0, this, [this] {
        resize(sizeWithinFreeArea(*this, size()));
        placeInFreeArea(*this);
    });
}

void frmSearch::closeEvent(QCloseEvent *e)
{
    Form_Unload();
    QMainWindow::closeEvent(e);
}

void frmSearch::Form_Unload()
{
    if (mBoolUnloaded)
        return;
    mBoolUnloaded = true;
    try {
        restoreMainFormTopmost(frmPelmora::instance());
    } catch (...) {
    }
}

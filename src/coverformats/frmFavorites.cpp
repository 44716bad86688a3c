// The favourites editor.
#include "coverformats/frmFavorites.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/modURLDownload.h"
#include "coverformats/BrowserLists.h"
#include "coverformats/frmSearch.h"
#include "platform/ui/Prompter.h"
#include "platform/widgets/ButtonPlus.h"

#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

QString language(const QString &key, const QString &defaultText = QString())
{
    return gObjLanguageStore().getVar(key, defaultText);
}

QString source(const char *procedure) { return QStringLiteral("frmFavorites.") + QLatin1String(procedure); }

// The display style of the window's command buttons.
constexpr int kCommandButtonStyle = 4;

} // namespace

void tellFavoritesUnreadable()
{
    QString text = language(QStringLiteral("MESSAGES.MSG_FAVORITES_UNREADABLE"),
                            QStringLiteral("The favorites file @file@ could not be read. It is left as it is."));
    text.replace(QStringLiteral("@file@"), QFileInfo(FavoritesFile::defaultPath()).fileName());
    platform::Prompter::get().msgBox(text, platform::MsgStyle::Exclamation,
                                     language(QStringLiteral("MESSAGES.MSG"), QStringLiteral("Message")));
}

frmFavorites::frmFavorites(frmSearch *browser, QWidget *parent) : QDialog(parent), mBrowser(browser)
{
    setObjectName(QStringLiteral("frmFavorites"));
    setWindowTitle(QStringLiteral("Favoriten pflegen"));
    setModal(true);

    lstFavorites = new QListWidget(this);
    lstFavorites->setObjectName(QStringLiteral("lstFavorites"));
    lstFavorites->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFavorites->setUniformItemSizes(true);
    lblEditDescription = new QLabel(
        QStringLiteral("Wählen Sie in der obigen Liste einen Ihrer Favoriten aus und es werden Ihnen hier die "
                       "Beschreibung und der zugehörige Link angezeigt. Sie können den Eintrag nun ändern oder löschen."),
        this);
    lblEditDescription->setObjectName(QStringLiteral("lblEditDescription"));
    lblEditDescription->setWordWrap(true);
    lblDescription = new QLabel(QStringLiteral("Beschreibung"), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    txtDescription = new QLineEdit(this);
    txtDescription->setObjectName(QStringLiteral("txtDescription"));
    lblLink = new QLabel(QStringLiteral("Link"), this);
    lblLink->setObjectName(QStringLiteral("lblLink"));
    txtLink = new QLineEdit(this);
    txtLink->setObjectName(QStringLiteral("txtLink"));
    cmdSave = new ButtonPlus(this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setCaption(QStringLiteral("Speichern"));
    cmdSave->setAutoDefault(false);
    cmdDelete = new ButtonPlus(this);
    cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    cmdDelete->setCaption(QStringLiteral("Löschen"));
    cmdDelete->setAutoDefault(false);
    for (QWidget *w : {static_cast<QWidget *>(txtDescription), static_cast<QWidget *>(txtLink),
                       static_cast<QWidget *>(cmdSave), static_cast<QWidget *>(cmdDelete)})
        w->setEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lstFavorites, 1);
    layout->addWidget(lblEditDescription);
    layout->addWidget(lblDescription);
    layout->addWidget(txtDescription);
    layout->addWidget(lblLink);
    layout->addWidget(txtLink);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdDelete);
    layout->addLayout(buttons);
    resize(460, 440);

    // A click chooses an entry: another one, or the chosen one again.
    connect(lstFavorites, &QListWidget::currentRowChanged, this, [this](int) {
        if (!mBoolQuiet)
            lstFavorites_Click();
    });
    lstFavorites->viewport()->installEventFilter(this);
    connect(lstFavorites, &QListWidget::clicked, this, [this](const QModelIndex &index) {
        if (index.row() == mIntRowAtPress && !mBoolQuiet)
            lstFavorites_Click();
    });
    connect(txtDescription, &QLineEdit::textChanged, this, &frmFavorites::textChanged);
    connect(txtLink, &QLineEdit::textChanged, this, &frmFavorites::textChanged);
    connect(cmdSave, &QPushButton::clicked, this, &frmFavorites::cmdSave_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmFavorites::cmdDelete_Click);

    Form_Load();
}

frmFavorites::~frmFavorites() = default;

void frmFavorites::Form_Load()
{
    try {
        loadingSteps();
    } catch (...) {
        reportError(QStringLiteral("ERR_LOAD_FAVORITES"), source("frmFavorites_Load"));
    }
}

void frmFavorites::loadingSteps()
{
    changeLanguage(this);
    cmdSave->setButtonStyle(kCommandButtonStyle);
    cmdDelete->setButtonStyle(kCommandButtonStyle);

    const FavoritesFile file = FavoritesFile::load();
    if (!file.readable() && !mBoolUnreadable) {
        // What could be read is shown; the file itself is left as it is.
        mBoolUnreadable = true;
        tellFavoritesUnreadable();
    }
    const int n = file.count();
    QStringList descriptions;
    descriptions.reserve(n);
    lstLinks.clear();
    lstLinks.reserve(n);
    for (int i = 0; i < n; ++i) {
        descriptions << file.description(i, QString());
        lstLinks << file.address(i, QString());
    }
    mBoolQuiet = true;
    lstFavorites->clear();
    lstFavorites->addItems(descriptions);
    lstFavorites->setCurrentRow(-1);
    mBoolQuiet = false;

    try {
        mBoolLoading = true;
        if (n > 0)
            lstFavorites->setCurrentRow(0);
    } catch (...) {
    }
    lstFavorites->update();
    cmdDelete->setEnabled(false);
}

void frmFavorites::setCurrentRowQuietly(int row)
{
    const bool was = mBoolQuiet;
    mBoolQuiet = true;
    lstFavorites->setCurrentRow(row);
    mBoolQuiet = was;
}

void frmFavorites::lstFavorites_Click()
{
    try {
        const int row = lstFavorites->currentRow();
        if (row < 0) {
            lstFavorites->setEnabled(false);
            return;
        }
        cmdDelete->setEnabled(true);
        cmdSave->setEnabled(false);
        checkChanges();
        const FavoritesFile file = FavoritesFile::load();
        mStrDescription = file.description(row, QString());
        mStrLink = file.address(row, QString());
        txtDescription->setEnabled(true);
        txtLink->setEnabled(true);
        txtDescription->setText(mStrDescription);
        txtLink->setText(mStrLink);
        mBoolLoading = false;
    } catch (...) {
        reportError(QStringLiteral("ERR_SELECT_FAVORITE"), source("lstFavorites_Click"));
    }
}

void frmFavorites::textChanged()
{
    cmdSave->setEnabled(txtLink->text() != mStrLink || txtDescription->text() != mStrDescription);
}

void frmFavorites::checkChanges()
{
    if (!mBoolLoading && (txtLink->text() != mStrLink || txtDescription->text() != mStrDescription)) {
        const int answer = platform::Prompter::get().msgBox(
            language(QStringLiteral("MESSAGES.MSG_SAVE_CHANGES"), QStringLiteral("Save Changes?")),
            platform::MsgStyle::YesNo | platform::MsgStyle::Information,
            language(QStringLiteral("MESSAGES.MSG"), QStringLiteral("Message")));
        if (answer == platform::MsgAnswer::Yes)
            storeFavorite(mIntShownIndex);
    }
    mIntShownIndex = lstFavorites->currentRow();
}

void frmFavorites::storeFavorite(int position)
{
    const QString description = txtDescription->text();
    const QString address = txtLink->text();
    if (!isValidURL(address, false) || description.isEmpty()) {
        platform::Prompter::get().msgBox(
            language(QStringLiteral("ERRORS.ERR_WRONG_FAVORITE"),
                     QStringLiteral("Please enter a valid description and web adress.")),
            platform::MsgStyle::Critical, language(QStringLiteral("ERRORS.ERR"), QStringLiteral("Error")));
        (description.isEmpty() ? txtDescription : txtLink)->setFocus();
        return;
    }
    if (position < 0 || position >= lstFavorites->count())
        throw AppError(ErrNo::InvalidCall);
    // The entry is replaced in place; when it was the chosen one, nothing is chosen after.
    const int chosen = lstFavorites->currentRow();
    mBoolQuiet = true;
    delete lstFavorites->takeItem(position);
    lstFavorites->insertItem(position, description);
    lstLinks[position] = address;
    lstFavorites->setCurrentRow(chosen == position ? -1 : chosen);
    mBoolQuiet = false;
    QString error;
    if (!FavoritesFile::store(FavoritesFile::defaultPath(), position, address, description, &error))
        throw AppError(ErrNo::PathFileAccess, error);
    mBoolEdited = true;
    lstFavorites->update();
}

void frmFavorites::cmdSave_Click()
{
    try {
        const int k = lstFavorites->currentRow();
        storeFavorite(k);
        mStrDescription = txtDescription->text();
        mStrLink = txtLink->text();
        lstFavorites->setCurrentRow(k);
    } catch (...) {
        reportError(QStringLiteral("ERR_EDIT_FAVORITE"), source("cmdSave_Click"));
    }
}

void frmFavorites::cmdDelete_Click()
{
    try {
        const int row = lstFavorites->currentRow();
        int answer;
        if (row >= 0)
            answer = platform::Prompter::get().msgBox(
                language(QStringLiteral("MESSAGES.MSG_DELETE_FAVORITE"), QStringLiteral("Are you sure?")),
                platform::MsgStyle::YesNo, language(QStringLiteral("MESSAGES.MSG")));
        else
            answer = platform::Prompter::get().msgBox(
                language(QStringLiteral("ERRORS.ERR_NO_FAVORITE_SELECTED"), QStringLiteral("No Favorite selected")),
                platform::MsgStyle::Critical, language(QStringLiteral("MESSAGES.MSG")));
        if (answer == platform::MsgAnswer::Yes) {
            mBoolQuiet = true;
            delete lstFavorites->takeItem(row);
            lstLinks.removeAt(row);
            lstFavorites->setCurrentRow(-1);
            mBoolQuiet = false;
            txtDescription->clear();
            txtLink->clear();
            txtDescription->setEnabled(false);
            txtLink->setEnabled(false);
            cmdSave->setEnabled(false);
            mStrDescription.clear();
            mStrLink.clear();
            mBoolEdited = true;
        }
        // The file and the browser's menu follow the list at once.
        closingSteps();
        loadingSteps();
    } catch (...) {
        reportError(QStringLiteral("ERR_DELETE_FAVORITE"), source("cmdDelete_Click"));
    }
}

void frmFavorites::closingSteps()
{
    checkChanges();
    // A file the user did not change, or one that could not be read, stays as it is.
    if (!mBoolEdited || mBoolUnreadable) {
        if (mBrowser)
            mBrowser->rebuildFavoriteItems(FavoritesFile::load());
        return;
    }
    QList<FavoritesFile::Favorite> favorites;
    favorites.reserve(lstFavorites->count());
    for (int i = 0; i < lstFavorites->count(); ++i)
        favorites.append({lstFavorites->item(i)->text(), i < lstLinks.size() ? lstLinks[i] : QString()});
    QString error;
    if (!FavoritesFile::rewrite(FavoritesFile::defaultPath(), favorites, &error))
        throw AppError(ErrNo::PathFileAccess, error);
    if (mBrowser)
        mBrowser->rebuildFavoriteItems(FavoritesFile::load());
}

bool frmFavorites::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == lstFavorites->viewport() && e->type() == QEvent::MouseButtonPress)
        mIntRowAtPress = lstFavorites->currentRow();
    return QDialog::eventFilter(watched, e);
}

void frmFavorites::done(int result)
{
    if (!mBoolUnloaded) {
        mBoolUnloaded = true;
        try {
            closingSteps();
        } catch (...) {
            reportError(QStringLiteral("ERR_SAVE_FAVORITES"), source("frmFavorites_Unload"));
        }
    }
    QDialog::done(result);
}

#include "core/libLanguage.h"

#include "core/AppError.h"
#include "core/AppPath.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"

#include <QAction>
#include <QCoreApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>
#include <QTranslator>

namespace {

// The program's web links by language. The addresses are placeholders until the project
// has its own domain.
struct LinkSet {
    const char *mailto, *address, *home, *search, *faq;
};
constexpr LinkSet kLinksGerman = {
    "mailto:support@pelmora.example?subject=Pelmora", "support@pelmora.example",
    "https://www.pelmora.example/de/", "https://www.pelmora.example/de/suche?q=",
    "https://www.pelmora.example/de/faq.html"};
constexpr LinkSet kLinksEnglish = {
    "mailto:support@pelmora.example?subject=Pelmora", "support@pelmora.example",
    "https://www.pelmora.example/en/", "https://www.pelmora.example/en/search?q=",
    "https://www.pelmora.example/en/faq.html"};

void applyLinks(const LinkSet &l)
{
    gStrSupportMailto = QString::fromLatin1(l.mailto);
    gStrSupportAddress = QString::fromLatin1(l.address);
    gStrHomePageURL = QString::fromLatin1(l.home);
    gStrSearchURL = QString::fromLatin1(l.search);
    gStrFaqURL = QString::fromLatin1(l.faq);
}

QString text(const QString &key) { return gObjLanguageStore().getVar(key); }

// The caption of a control; raises AppError 438 for a control that has none.
void setCaption(QObject *c, const QString &t)
{
    if (auto *b = qobject_cast<QAbstractButton *>(c)) b->setText(t);
    else if (auto *l = qobject_cast<QLabel *>(c)) l->setText(t);
    else if (auto *g = qobject_cast<QGroupBox *>(c)) g->setTitle(t);
    else if (auto *m = qobject_cast<QMenu *>(c)) m->setTitle(t);
    else if (auto *a = qobject_cast<QAction *>(c)) a->setText(t);
    else throw AppError(ErrNo::NoSuchProperty);
}

void setToolTip(QObject *c, const QString &t)
{
    if (auto *w = qobject_cast<QWidget *>(c)) w->setToolTip(t);
    else if (auto *a = qobject_cast<QAction *>(c)) a->setToolTip(t);
    else throw AppError(ErrNo::NoSuchProperty);
}

// The controls of a form in creation order: named widgets, menus and actions.
QList<QObject *> controlsOf(QWidget *form)
{
    QList<QObject *> out;
    for (QObject *o : form->findChildren<QObject *>()) {
        const QString n = o->objectName();
        if (n.isEmpty() || n.startsWith(QLatin1String("qt_")))
            continue;
        if (qobject_cast<QWidget *>(o) || qobject_cast<QAction *>(o))
            out << o;
    }
    return out;
}

// Control arrays: an element named "C_I" carries the property index = I.
bool arrayElement(const QObject *c, QString &base, int &index)
{
    const QVariant v = c->property("index");
    if (!v.isValid())
        return false;
    bool ok = false;
    index = v.toInt(&ok);
    if (!ok || index < 0)
        return false;
    base = c->objectName();
    const QString suffix = u'_' + QString::number(index);
    if (base.endsWith(suffix))
        base.chop(suffix.size());
    return true;
}

} // namespace

const QStringList &languageSections()
{
    static const QStringList s = {
        "DIALOG", "GENERAL", "BUTTONS", "COVER", "frmPelmora", "frmFavorites", "frmBrowse",
        "frmEditCover", "frmOptions", "frmPreview", "frmPrinterOptions", "frmProgressBar",
        "frmQuickLoad", "frmSearch", "frmTip", "TIP", "ERRORS", "MESSAGES", "frmAbout", "frmGrafik",
        "frmUndoOverview", "frmSharpSoft", "frmCDDBAssist", "frmChangeDirForm", "frmDirMp3", "frmM3UParameters",
        "frmRotate", "frmTextShadow", "frmTextGradient", "frmTextedit", "frmBrightness",
        "OTHERCONSTANTS", "frmUpdateCheck", "frmNewCover"};
    return s;
}

void getLanguageFiles()
{
    try {
        const QDir dir(appPath() + QStringLiteral("/language"));
        const QStringList files = dir.entryList({QStringLiteral("*.dll")}, QDir::Files, QDir::Unsorted);
        for (const QString &f : files)
            if (findLanguageFile(f).isEmpty())
                gColLanguageFiles << f;
    } catch (...) {
        reportError(QStringLiteral("ERR_LANGUAGE_FILES"), QStringLiteral("getLanguageFiles"), false);
    }
}

QString findLanguageFile(const QString &name)
{
    for (const QString &f : gColLanguageFiles)
        if (f.compare(name, Qt::CaseInsensitive) == 0)
            return f;
    return QString();
}

void applyQtTranslations(const QString &shortcut)
{
    static QPointer<QTranslator> installed;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    const QString language = shortcut.trimmed().toLower();
    if (language.isEmpty())
        return;
    auto *translator = new QTranslator(app);
    if (translator->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(translator))
        installed = translator;
    else
        delete translator; // Qt's English texts stay
}

void setLanguage(const QString &path)
{
    try {
        clsEnvAll &lang = gObjLanguageStore();
        lang.setInitFileName(path);
        lang.initializeAll(languageSections().join(u';'));
        const QString shortcut = lang.getVar(QStringLiteral("GENERAL.LANGUAGE_SHORTCUT"));
        applyLinks(shortcut == QLatin1String("DE") ? kLinksGerman : kLinksEnglish);
        applyQtTranslations(shortcut);
    } catch (...) {
        reportError(QStringLiteral("ERR_LANGUAGE_FILES"), QStringLiteral("libInitialize.setLanguage"), false);
    }
}

void changeLanguage(QWidget *form)
{
    if (!form)
        return;
    const QString F = form->objectName();
    const QString caption = text(F + u'.' + F);
    if (!caption.isEmpty())
        form->setWindowTitle(caption.trimmed());

    bool reported = false;
    for (QObject *c : controlsOf(form)) {
        auto *w = qobject_cast<QWidget *>(c);
        if (w && !qobject_cast<QMenu *>(w)) {
            QFont f = w->font();
            f.setFamily(QStringLiteral("Arial"));
            w->setFont(f);
        }
        QString C = c->objectName();
        int index = -1;
        if (arrayElement(c, C, index)) {
            try {
                const QString t = text(F + u'.' + C + u'_' + QString::number(index));
                if (!t.isEmpty())
                    setCaption(c, t);
                const QString tip = text(F + u'.' + C + QStringLiteral("ToolTipText_") + QString::number(index));
                if (!tip.isEmpty())
                    setToolTip(c, tip);
            } catch (...) {
                // Errors of the array keys are ignored, as for the font.
            }
        }
        try {
            const QString t = text(F + u'.' + C);
            if (!t.isEmpty())
                setCaption(c, t);
            if (auto *b = qobject_cast<ButtonPlus *>(c)) {
                b->setWordWrap(false);
                QFont f = b->font();
                f.setPointSize(8);
                f.setBold(false);
                f.setFamily(QStringLiteral("Arial"));
                b->setFont(f);
                const double twips = b->width() * platform::Screen::get().twipsPerPixelX();
                if (b->hasPicture() && twips > 400) {
                    // The blanks keep the caption clear of the picture; added once only.
                    if (!b->caption().startsWith(QLatin1String("     ")))
                        b->setCaption(QStringLiteral("     ") + b->caption());
                    b->setCaptionAlignment(ButtonPlus::kCaptionLeft);
                    b->setPictureAlignment(ButtonPlus::kPictureLeft);
                }
            }
            const QString tip = text(F + u'.' + C + QStringLiteral("ToolTipText"));
            if (!tip.isEmpty())
                setToolTip(c, tip);
            if (auto *tabs = qobject_cast<QTabWidget *>(c)) {
                for (int i = 1; i <= tabs->count(); ++i)
                    tabs->setTabText(i - 1, text(F + u'.' + C + u'_' + QString::number(i)));
                tabs->update();
            } else if (auto *bar = qobject_cast<QTabBar *>(c)) {
                for (int i = 1; i <= bar->count(); ++i)
                    bar->setTabText(i - 1, text(F + u'.' + C + u'_' + QString::number(i)));
                bar->update();
            } else if (w && (qobject_cast<QPushButton *>(w) || qobject_cast<QComboBox *>(w))) {
                w->update();
            }
        } catch (...) {
            if (!reported) {
                reported = true;
                reportError(QStringLiteral("ERR_CHANGE_LANGUAGE"), QStringLiteral("changeLanguage"), false);
            }
        }
    }
}

void localiseImgxDialog(platform::FileDialogRequest &dialog)
{
    static const std::pair<const char *, const char *> keys[] = {
        {"CancelButtonCaption", "Cancel"}, {"HelpButtonCaption", "Help"},
        {"OpenButtonCaption", "Open"}, {"PreviewBitDepthLabel", "Bit depth"},
        {"PreviewCheckBoxLabel", "Preview"}, {"PreviewDateLabel", "Date"},
        {"PreviewHeightLabel", "Height"}, {"PreviewWidthLabel", "Width"},
        {"ProgressCaption", "Progress"}, {"ReadOnlyCaption", "Read-only"},
        {"SaveButtonCaption", "Save"}, {"FileNameLabel", "File name"}, {"FILETYPELABEL", "File of type"}};
    for (const auto &[key, def] : keys)
        dialog.captions.insert(QString::fromLatin1(key),
                               gObjLanguageStore().getVar(QStringLiteral("DIALOG.") + QLatin1String(key),
                                                          QString::fromLatin1(def)));
}

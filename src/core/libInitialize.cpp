#include "core/libInitialize.h"

#include "core/AppError.h"
#include "core/AppPath.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Numbers.h"
#include "core/libCoverData.h"
#include "core/libLanguage.h"
#include "core/mdlUtilWindows.h"
#include "platform/files/TemporaryFiles.h"

#include <QLocale>
#include <QWidget>

#include <variant>

namespace {

// The options of the options file: key, default and the variable it fills.
enum class Conv { Byte, Int, Long, Text, Double, ByteAsInt };
struct OptionDef {
    const char *key;
    const char *def;
    Conv conv;
    std::variant<std::uint8_t *, std::int16_t *, std::int32_t *, QString *, double *> var;
};

const std::vector<OptionDef> &optionTable()
{
    static const std::vector<OptionDef> t = {
        {"FOREGROUND", "0", Conv::Byte, &gByteForeground},
        {"LANGUAGE", "English.dll", Conv::Text, &gStrLanguage},
        {"LASTCOVERLEFT", "0", Conv::ByteAsInt, &gIntLastCoverLeft},
        {"LASTCOVERRIGHT", "2", Conv::ByteAsInt, &gIntLastCoverRight},
        {"LASTMEDIUM", "0", Conv::Int, &gIntLastMedium},
        {"SCANTOFILE", "0", Conv::Byte, &gByteScanToFile},
        {"SCANPATH", "", Conv::Text, &gStrScanPath},
        {"STANDARDPATH", "", Conv::Text, &gStrStandardPath},
        {"MYMUSICPATH", "", Conv::Text, &gStrMyMusicPath},
        {"SHOWTIPS", "0", Conv::Byte, &gByteShowTips},
        {"BORDERSTYLE", "0", Conv::Byte, &gByteBorderStyle},
        {"BORDERWIDTH", "0,25", Conv::Double, &gDblBorderWidth},
        {"MARGINTYPE", "0", Conv::Byte, &gByteMarginType},
        {"PRINTBORDER", "0", Conv::Byte, &gBytePrintBorder},
        {"PRINTMARGIN", "1", Conv::Byte, &gBytePrintMargin},
        {"BORDERCOLOR", "0", Conv::Long, &gLngBorderColor},
        {"MARGINCOLOR", "0", Conv::Long, &gLngMarginColor},
        {"PRINTERCOLOR", "0", Conv::Byte, &gBytePrinterColor},
        {"PRINTERQUALITY", "0", Conv::ByteAsInt, &gIntPrinterQuality},
        {"PRINTWITHDEFAULT", "1", Conv::Byte, &gBytePrintWithDefault},
        {"PRINTERID", "0", Conv::Int, &gIntPrinterId},
        {"PRINTERNAME", "0", Conv::Text, &gStrPrinterName},
    };
    return t;
}

bool isLastKey(const char *key)
{
    const QLatin1String k(key);
    return k == QLatin1String("LASTCOVERLEFT") || k == QLatin1String("LASTCOVERRIGHT")
           || k == QLatin1String("LASTMEDIUM");
}

// Converts a stored text into the option's variable; raises AppError for a bad value.
void assign(const OptionDef &d, const QString &text)
{
    std::visit(
        [&](auto *var) {
            using T = std::remove_pointer_t<decltype(var)>;
            if constexpr (std::is_same_v<T, QString>) {
                *var = text;
            } else if constexpr (std::is_same_v<T, double>) {
                QString t = text;
                t.replace(u',', gStrDecimalSeparator.isEmpty() ? QStringLiteral(".") : gStrDecimalSeparator);
                *var = toDouble(t);
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                *var = toInt32(text);
            } else if constexpr (std::is_same_v<T, std::int16_t>) {
                *var = d.conv == Conv::ByteAsInt ? std::int16_t(toByte(text)) : toInt16(text);
            } else {
                *var = toByte(text);
            }
        },
        d.var);
}

} // namespace

QString optionsFilePath() { return appPath() + QStringLiteral("/data/pelmora.dat"); }

void readOptions()
{
    clsEnvAll &store = gObjOptionsStore();
    // Every variable starts at its default, so a bad value leaves the default behind.
    for (const OptionDef &d : optionTable())
        assign(d, QString::fromLatin1(d.def));
    bool reported = false;
    for (const OptionDef &d : optionTable()) {
        const QString key = QStringLiteral("OPTIONS.") + QLatin1String(d.key);
        try {
            if (isLastKey(d.key)) {
                // A negative stored value means 0; otherwise the key is read again with its
                // own default, so a missing LASTCOVERRIGHT yields 2.
                if (toInt16(store.getVar(key, QStringLiteral("0"))) < 0) {
                    assign(d, QStringLiteral("0"));
                    continue;
                }
            }
            assign(d, store.getVar(key, QString::fromLatin1(d.def)));
        } catch (...) {
            assign(d, QString::fromLatin1(d.def));
            if (!reported) {
                reported = true;
                reportError(QStringLiteral("ERR_READOPTIONS"), QStringLiteral("libInitialize.readOptions"));
            }
        }
    }
}

QString getUserLocaleInfo(int item)
{
    const QLocale loc = QLocale::system();
    switch (item) {
    case 14: return loc.decimalPoint();
    case 15: return loc.groupSeparator();
    case 12: return loc.decimalPoint() == QStringLiteral(",") ? QStringLiteral(";") : QStringLiteral(",");
    default: return QString();
    }
}

void buildImageFilters()
{
    gStrOpenImageFilter = gObjLanguageStore().getVar(QStringLiteral("DIALOG.ALL_IMAGES"), QStringLiteral("All images"))
        + QStringLiteral("|*.jpg;*.gif;*.bmp;*.png;*.psd;*.tif;*.pcx;*.tga;*.wbmp;*.wmf;*.emf;*.tla|"
                         "Joint Photographic Experts Group JPG|*.jpg|"
                         "Graphics Interchange Format GIF|*.gif|"
                         "Windows Bitmap BMP|*.bmp|"
                         "Portable Network Graphics PNG|*.png|"
                         "Photoshop PSD|*.psd|"
                         "Tagged Image File TIF|*.tif|"
                         "ZSoft PaintBrush PCX|*.pcx|"
                         "Truevision Targa TGA|*.tga|"
                         "Wireless Bitmap WBMP|*.wbmp|"
                         "Windows Meta File WMF|*.wmf|"
                         "Windows Enhanced Meta File EMF|*.emf|");
    gStrSaveImageFilter = QStringLiteral("Joint Photographic Experts Group JPG|*.jpg|"
                                         "Portable Network Graphics PNG|*.png|"
                                         "Photoshop PSD|*.psd|"
                                         "Tagged Image File TIF|*.tif|"
                                         "ZSoft PaintBrush PCX|*.pcx|"
                                         "Truevision Targa TGA|*.tga|"
                                         "Wireless Bitmap WBMP|*.wbmp|"
                                         "Windows Bitmap BMP|*.bmp|"
                                         "Windows Metafile WMF|*.wmf|"
                                         "Windows Enhanced Metafile EMF|*.emf");
}

void loadSeparatorNames()
{
    gStrSepSpace = gObjLanguageStore().getVar(QStringLiteral("OTHERCONSTANTS.SEPSPACE"), QStringLiteral("Space"));
    gStrSepTab = gObjLanguageStore().getVar(QStringLiteral("OTHERCONSTANTS.SEPTAB"), QStringLiteral("Tab"));
}

void loadMp3FieldNames()
{
    gStrMp3Title = gObjLanguageStore().getVar(QStringLiteral("OTHERCONSTANTS.MP3TITLE"), QStringLiteral("Title"));
    gStrMp3Artist = gObjLanguageStore().getVar(QStringLiteral("OTHERCONSTANTS.MP3ARTIST"), QStringLiteral("Artist"));
    gStrMp3Duration = gObjLanguageStore().getVar(QStringLiteral("OTHERCONSTANTS.MP3DURATION"), QStringLiteral("Duration"));
}

QWidget *Main(const StartupHooks &hooks)
{
    QWidget *w = nullptr;
    try {
        if (hooks.createCover)
            hooks.createCover();
        gObjOptionsStore().setInitFileName(optionsFilePath());
        gObjOptionsStore().initializeAll(QStringLiteral("OPTIONS"));
        gStrDecimalSeparator = getUserLocaleInfo(14);
        if (gStrDecimalSeparator.isEmpty())
            gStrDecimalSeparator = QStringLiteral(".");
        gIntPrintPrinterIndex = -1;
        gBytePrintColor = 0;
        gIntPrintQuality = 0;
        readOptions();
        // What an ended run could not remove: scratch folders and save temporaries.
        platform::removeStaleTemporaries({appPath(), appPath() + QStringLiteral("/data"), gStrScanPath, gStrStandardPath});
        getLanguageFiles();
        const QString wanted = gObjOptionsStore().getVar(QStringLiteral("OPTIONS.LANGUAGE"), QStringLiteral("English.dll"));
        const QString onDisk = findLanguageFile(wanted);
        if (onDisk.isEmpty())
            throw AppError(ErrNo::FileNotFound, QStringLiteral("Language file not found: ") + wanted);
        setLanguage(appPath() + QStringLiteral("/language/") + onDisk);
        loadCoverData();
        buildImageFilters();
        w = hooks.createMainWindow ? hooks.createMainWindow() : nullptr;
        if (!w)
            throw AppError(ErrNo::ObjectNotSet);
        w->show();
        restoreMainFormTopmost(w);
        return w;
    } catch (...) {
        delete w;
        // The report shows the built-in texts: whatever language was loaded is not trusted.
        const FailureInfo f = currentFailure();
        gObjLanguageStore().setInitFileName(QString());
        gObjLanguageStore().initializeAll(QString());
        try {
            throw AppError(f.number, f.description);
        } catch (...) {
            reportError(QStringLiteral("ERR_INSTALL"), QStringLiteral("libInitialize.Main"));
        }
        return nullptr;
    }
}

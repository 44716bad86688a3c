#include "core/Globals.h"
#include "core/libLanguage.h"

#include <memory>

namespace {
std::unique_ptr<clsEnvAll> &optionsStore()
{
    static std::unique_ptr<clsEnvAll> s;
    return s;
}
std::unique_ptr<clsEnvAll> &languageStore()
{
    static std::unique_ptr<clsEnvAll> s;
    return s;
}
clsEnvAll &createdOnFirstUse(std::unique_ptr<clsEnvAll> &slot)
{
    if (!slot)
        slot = std::make_unique<clsEnvAll>();
    return *slot;
}
} // namespace

clsEnvAll &gObjOptionsStore() { return createdOnFirstUse(optionsStore()); }
clsEnvAll &gObjLanguageStore() { return createdOnFirstUse(languageStore()); }

namespace core {
void resetForTests()
{
    optionsStore().reset();
    languageStore().reset();
    applyQtTranslations(QString());
    gByteForeground = 0;
    gStrLanguage = QStringLiteral("English.dll");
    gIntLastCoverLeft = 0;
    gIntLastCoverRight = 2;
    gIntLastMedium = 0;
    gByteScanToFile = 0;
    gStrScanPath.clear();
    gStrStandardPath.clear();
    gStrMyMusicPath.clear();
    gByteShowTips = 0;
    gByteBorderStyle = 0;
    gDblBorderWidth = 0.25;
    gByteMarginType = 0;
    gBytePrintBorder = 0;
    gBytePrintMargin = 1;
    gLngBorderColor = 0;
    gLngMarginColor = 0;
    gBytePrinterColor = 0;
    gIntPrinterQuality = 0;
    gBytePrintWithDefault = 1;
    gIntPrinterId = 0;
    gStrPrinterName = QStringLiteral("0");
    gIntPrintPrinterIndex = -1;
    gBytePrintColor = 0;
    gIntPrintQuality = 0;
    gStrDecimalSeparator = QStringLiteral(".");
    gStrOpenImageFilter.clear();
    gStrSaveImageFilter.clear();
    gStrSepSpace = QStringLiteral("Space");
    gStrSepTab = QStringLiteral("Tab");
    gColLanguageFiles.clear();
    gStrSupportMailto.clear();
    gStrSupportAddress.clear();
    gStrHomePageURL.clear();
    gStrSearchURL.clear();
    gStrFaqURL.clear();
    gVarCoverTypesLoaded = {};
    gVarCoverTypes = {};
}
} // namespace core

#pragma once
// Program-wide state of the application core.
#include "core/CoverTable.h"
#include "core/clsEnvAll.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// The options store on data/pelmora.dat and the language store on the current language file,
// each created on first use.
clsEnvAll &gObjOptionsStore();
clsEnvAll &gObjLanguageStore();

// The option variables, filled from the options store by readOptions.
inline std::uint8_t gByteForeground = 0;
inline QString gStrLanguage = QStringLiteral("English.dll");
inline std::int16_t gIntLastCoverLeft = 0;
inline std::int16_t gIntLastCoverRight = 2;
inline std::int16_t gIntLastMedium = 0;
inline std::uint8_t gByteScanToFile = 0;
inline QString gStrScanPath;
inline QString gStrStandardPath;
inline QString gStrMyMusicPath;
inline std::uint8_t gByteShowTips = 0;
inline std::uint8_t gByteBorderStyle = 0;
inline double gDblBorderWidth = 0.25;
inline std::uint8_t gByteMarginType = 0;
inline std::uint8_t gBytePrintBorder = 0;
inline std::uint8_t gBytePrintMargin = 1;
inline std::int32_t gLngBorderColor = 0;
inline std::int32_t gLngMarginColor = 0;
inline std::uint8_t gBytePrinterColor = 0;
inline std::int16_t gIntPrinterQuality = 0;
inline std::uint8_t gBytePrintWithDefault = 1;
inline std::int16_t gIntPrinterId = 0;
inline QString gStrPrinterName = QStringLiteral("0");

// The print dialog's remembered choice.
inline std::int16_t gIntPrintPrinterIndex = -1;
inline std::uint8_t gBytePrintColor = 0;
inline std::int16_t gIntPrintQuality = 0;

// The user's decimal sign, the image file filters and the separator names.
inline QString gStrDecimalSeparator = QStringLiteral(".");
inline QString gStrOpenImageFilter;
inline QString gStrSaveImageFilter;
inline QString gStrSepSpace = QStringLiteral("Space");
inline QString gStrSepTab = QStringLiteral("Tab");
// The separators a track line can put between its fields, filled by the graphics editor's
// set-up, and the localised names of the fields.
inline std::array<QString, 5> gStrSeparators;
inline QString gStrMp3Title = QStringLiteral("Title");
inline QString gStrMp3Artist = QStringLiteral("Artist");
inline QString gStrMp3Duration = QStringLiteral("Duration");

// The language files of the language folder, as named on disk, in listing order.
inline QStringList gColLanguageFiles;
// The web links of the current language.
inline QString gStrSupportMailto;
inline QString gStrSupportAddress;
inline QString gStrHomePageURL;
inline QString gStrSearchURL;
inline QString gStrFaqURL;

// The cover-format tables by medium: as read from the data files, and the working copies.
inline constexpr int kMediumCount = 6;
inline std::array<CoverTable, kMediumCount> gVarCoverTypesLoaded;
inline std::array<CoverTable, kMediumCount> gVarCoverTypes;

namespace core {
// Drops every program-wide value of the core so that a test starts clean.
void resetForTests();
}

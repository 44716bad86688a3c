#include "core/libCoverData.h"

#include "core/AppError.h"
#include "core/AppPath.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Numbers.h"
#include "core/mdlUtil.h"
#include "platform/ini/TextCodec.h"
#include "platform/ui/Prompter.h"

#include <QFile>
#include <QFileInfo>

QString coverFileName(int medium)
{
    static const char *const names[kMediumCount] = {"CD.dat", "DVD.dat", "Single.dat", "VHS.dat",
                                                    "MC.dat", "mycover.dat"};
    if (medium < 0 || medium >= kMediumCount)
        throw AppError(ErrNo::SubscriptOutOfRange);
    return QString::fromLatin1(names[medium]);
}

CoverTable ReadUserData(const QString &fileName, bool predefined)
{
    const QString path = addBackslash(appPath()) + QStringLiteral("data/") + fileName;
    if (!fileExistsByAssociation(path) || QFileInfo(path).size() < 1)
        return CoverTable::empty();

    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return CoverTable::empty();
    const QString text = platform::TextCodec::decodeAuto(f.readAll());
    f.close();

    std::vector<CoverRecord> records;
    // Counts every line of the file, blank ones included: a message names the line itself.
    int counter = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QString line = text.mid(pos, end - pos);
        pos = end;
        if (pos < text.size() && text[pos] == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n')
            pos += 2;
        else if (pos < text.size())
            pos += 1;

        // An empty line or one of blanks only (left by a hand edit) is no record.
        if (line.trimmed().isEmpty()) {
            ++counter;
            continue;
        }
        const QStringList parts = line.split(u';');
        if (parts.size() < CoverField::kStoredCount) {
            showError(QStringLiteral("Fehler beim einlesen der Cover-Daten: ") + fileName + u':'
                          + QString::number(counter),
                      platform::MsgStyle::Critical, QStringLiteral("libInitialize.ReadUserData"),
                      AppError::standardDescription(ErrNo::SubscriptOutOfRange), ErrNo::SubscriptOutOfRange);
            return CoverTable::unread();
        }
        CoverRecord r;
        r[0] = CoverValue(parts[0]);
        for (int i = 1; i < CoverField::kStoredCount; ++i) {
            const auto n = parseDataNumber(parts[i]);
            r[i] = n ? CoverValue(*n) : CoverValue(parts[i]);
        }
        r[CoverField::DisplayName] = predefined
            ? CoverValue(gObjLanguageStore().getVar(QStringLiteral("COVER.") + parts[0], QStringLiteral("Error")))
            : CoverValue(parts[0]);
        records.push_back(std::move(r));
        ++counter;
    }
    return CoverTable::of(std::move(records));
}

void loadCoverData()
{
    try {
        for (int m = 0; m < kMediumCount; ++m)
            gVarCoverTypesLoaded[size_t(m)] = ReadUserData(coverFileName(m), m < 5);
        gVarCoverTypes = gVarCoverTypesLoaded;
    } catch (...) {
        reportError(QStringLiteral("ERR_LOAD_COVER"), QStringLiteral("libLanguage.selectLanguage"));
    }
}

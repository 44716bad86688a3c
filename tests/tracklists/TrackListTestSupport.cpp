#include "TrackListTestSupport.h"

#include "core/Globals.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"
#include "platform/audio/Mp3Length.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tracktest {

void TrackListTest::SetUp()
{
    ProgramTest::SetUp();
    setLanguage(QStringLiteral(PELMORA_SOURCE_DIR "/resources/language/English.dll"));
    loadSeparatorNames();
    loadMp3FieldNames();
    gStrSeparators = {QStringLiteral(" - "), gStrSepTab, gStrSepSpace, QStringLiteral(" * "), QStringLiteral(" : ")};
    runner = &platform::Seam<tracklists::ModalRunner>::install(std::make_unique<ScriptedRunner>());
}

void TrackListTest::TearDown()
{
    if (runner) {
        EXPECT_TRUE(runner->scripts.empty()) << "a scripted dialog was not shown";
    }
    platform::Seam<tracklists::ModalRunner>::reset();
    platform::Seam<platform::Mp3Length>::reset();
    ProgramTest::TearDown();
}

QString TrackListTest::fixture(const QString &name, const QString &as)
{
    const QString target = path(as.isEmpty() ? QStringLiteral("music/") + name : as);
    QDir().mkpath(QFileInfo(target).path());
    QFile::remove(target);
    EXPECT_TRUE(QFile::copy(QStringLiteral(PELMORA_SOURCE_DIR "/tests/tracklists/data/") + name, target)) << name.toStdString();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

QString TrackListTest::errorText(const char *key)
{
    return gObjLanguageStore().getVar(QStringLiteral("ERRORS.") + QLatin1String(key), QStringLiteral("ERROR"));
}

} // namespace tracktest

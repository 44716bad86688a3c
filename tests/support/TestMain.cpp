// The test main: a QApplication on the offscreen platform at 96 dpi with pinned fonts, so
// that every run renders the same pixels, and a clean program state around every test.
#include "support/TestSupport.h"
#include "platform/imaging/PictureReader.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QStandardPaths>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

namespace {

// Returns the folder of this process's fonts and runtime files, removed at its end.
QString pinEnvironment()
{
    // Test discovery runs the binaries without the test environment: set the defaults here.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char *v : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                          "QT_ENABLE_HIGHDPI_SCALING", "QT_DEVICE_PIXEL_RATIO",
                          "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_USE_PHYSICAL_DPI"})
        qunsetenv(v);
    qputenv("QT_FONT_DPI", "96");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("LC_NUMERIC", "C");

    const QByteArray base = QFile::encodeName(QDir::tempPath()) + "/pelmora-test-" + QByteArray::number(getpid());
    QDir().mkpath(QString::fromLocal8Bit(base + "/runtime"));
    QFile::setPermissions(QString::fromLocal8Bit(base + "/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", base + "/runtime");
    qputenv("XDG_DATA_HOME", base + "/data");
    qputenv("XDG_CONFIG_HOME", base + "/config");
    qputenv("XDG_CACHE_HOME", base + "/cache");

    // Only the fonts we ship with the test set-up: DejaVu, the Liberation metric twins and Noto's
    // colour emoji.
    const QByteArray conf = base + "/fonts.conf";
    QFile f(QString::fromLocal8Bit(conf));
    if (f.open(QIODevice::WriteOnly)) {
        f.write("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
                "  <dir>/usr/share/fonts/truetype/dejavu</dir>\n"
                "  <dir>/usr/share/fonts/truetype/liberation2</dir>\n"
                "  <dir>/usr/share/fonts/truetype/liberation</dir>\n"
                "  <dir>/usr/share/fonts/truetype/noto</dir>\n"
                "  <cachedir>" + base + "/fontcache</cachedir>\n"
                "  <alias><family>Arial</family><prefer><family>Liberation Sans</family></prefer></alias>\n"
                "  <alias><family>Times New Roman</family><prefer><family>Liberation Serif</family></prefer></alias>\n"
                "  <alias><family>Courier New</family><prefer><family>Liberation Mono</family></prefer></alias>\n"
                "  <alias><family>sans-serif</family><prefer><family>DejaVu Sans</family></prefer></alias>\n"
                "</fontconfig>\n");
        f.close();
        qputenv("FONTCONFIG_FILE", conf);
    }
    return QString::fromLocal8Bit(base);
}

class CleanStateListener : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo &) override { testsupport::resetProgramState(); }
};

} // namespace

int main(int argc, char **argv)
{
    const QString scratch = pinEnvironment();
    int result = 0;
    {
        QApplication app(argc, argv);
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        // Many pictures are read at once under ctest -j; a slow machine must not fail one.
        platform::setPictureReaderLimits({60, 0, 120000});
        testing::InitGoogleMock(&argc, argv);
        testing::UnitTest::GetInstance()->listeners().Append(new CleanStateListener);
        testsupport::resetProgramState();
        result = RUN_ALL_TESTS();
    }
    QDir(scratch).removeRecursively();
    return result;
}

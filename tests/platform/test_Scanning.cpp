// Scanning against SANE's own test backend (libsane-test), configured through
// SANE_CONFIG_DIR: a folder whose dll.conf names only "test", so no other backend is probed.
#include "platform/scan/ScanSourceDialog.h"
#include "platform/scan/TwainObject.h"
#include "support/SaneTestDevice.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <deque>
#include <gtest/gtest.h>
#include "support/QtPrinters.h"

using platform::ScanSourceChoice;
using platform::ScanSourceRequest;
using platform::TwainObject;

namespace {

using Conf = testsupport::SaneConf;
using testsupport::writeSaneDllConf;
using testsupport::writeSaneTestConf;

class Scanning : public testing::Test {
protected:
    void SetUp() override
    {
        writeSaneDllConf("test\n");
        chooser = &platform::Seam<platform::ScanSourceChooser>::install(std::make_unique<testsupport::ScriptedSourceChooser>());
    }

    // Opens the first device with this test.conf, scans once and closes.
    QImage scan(const Conf &conf)
    {
        writeSaneTestConf(conf);
        EXPECT_TRUE(twain.openSource(nullptr));
        twain.acquire(0, nullptr);
        twain.closeSource();
        EXPECT_EQ(canClose.count(), acquires + 1) << "every acquisition ends with CanCloseTwain";
        ++acquires;
        if (images.isEmpty())
            return QImage();
        return images.takeLast().at(0).value<QImage>();
    }
    // The error of the last acquisition: number, title, reason.
    std::tuple<int, QString, QString> lastError()
    {
        if (errors.isEmpty())
            return {-1, QString(), QString()};
        const QList<QVariant> e = errors.takeLast();
        return {e.at(0).toInt(), e.at(1).toString(), e.at(2).toString()};
    }

    static bool allPixels(const QImage &img, QRgb value)
    {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) != value)
                    return false;
        return true;
    }

    testsupport::ScriptedSourceChooser *chooser = nullptr;
    TwainObject twain;
    QSignalSpy images{&twain, &TwainObject::ImageAcquired};
    QSignalSpy canceled{&twain, &TwainObject::AcquireCanceled};
    QSignalSpy errors{&twain, &TwainObject::TwainError};
    QSignalSpy canClose{&twain, &TwainObject::CanCloseTwain};
    int acquires = 0;
};

TEST_F(Scanning, DevicesComeFromAFreshReadOfTheConfigurationAtEverySession)
{
    writeSaneTestConf({{"number_of_devices", "2"}});
    EXPECT_TRUE(twain.twainAvailable());
    chooser->answers.push_back(std::nullopt);
    twain.selectSource(nullptr);
    ASSERT_EQ(chooser->requests.size(), 1u);
    const auto &devices = chooser->requests[0].devices;
    ASSERT_EQ(devices.size(), 2);
    EXPECT_EQ(devices[0].name, "test:0");
    EXPECT_EQ(devices[1].name, "test:1");
    EXPECT_EQ(devices[0].vendor, "Noname");
    EXPECT_EQ(devices[0].model, "frontend-tester");

    // (The test backend itself cannot be told to have no device.)
    writeSaneDllConf("# no backends\n");
    EXPECT_FALSE(twain.twainAvailable());
    EXPECT_FALSE(twain.openSource(nullptr));
    EXPECT_EQ(errors.count(), 0) << "no device is not an error of its own";

    writeSaneDllConf("test\n");
    EXPECT_TRUE(twain.twainAvailable());
}

TEST_F(Scanning, TheChosenDeviceModeAndResolutionAreKeptForLaterScans)
{
    writeSaneTestConf({{"number_of_devices", "2"}});
    chooser->onChoose = [](const ScanSourceRequest &r) {
        const platform::ScanSourceOptions o = r.optionsOf("test:1");
        EXPECT_EQ(o.modes, (QStringList{"Gray", "Color"}));
        EXPECT_EQ(o.mode, "Gray");
        EXPECT_DOUBLE_EQ(o.resolution, 50.0);
        EXPECT_TRUE(o.resolutions.contains(1.0) && o.resolutions.contains(300.0)
                    && o.resolutions.contains(1200.0));
    };
    chooser->answers.push_back(ScanSourceChoice{"test:1", "Color", 100});
    twain.selectSource(nullptr);
    EXPECT_EQ(twain.sourceChoice(), (ScanSourceChoice{"test:1", "Color", 100}));
    EXPECT_FALSE(twain.isSourceOpen());

    ASSERT_TRUE(twain.openSource(nullptr));
    EXPECT_EQ(twain.openSourceName(), "test:1");
    twain.acquire(0, nullptr);
    ASSERT_EQ(images.count(), 1);
    const QImage img = images.at(0).at(0).value<QImage>();
    EXPECT_EQ(img.format(), QImage::Format_RGB32);
    EXPECT_EQ(img.size(), QSize(314, 393)); // 80 x 100 mm at 100 dpi
    EXPECT_EQ(img.dotsPerMeterX(), 3937);   // 100 / 0.0254 = 3937.007...

    // Choosing again while the source is open changes the open device's settings.
    chooser->onChoose = nullptr;
    chooser->answers.push_back(ScanSourceChoice{"test:1", "Gray", 50});
    twain.selectSource(nullptr);
    EXPECT_EQ(chooser->requests.back().current, (ScanSourceChoice{"test:1", "Color", 100}));
    twain.acquire(0, nullptr);
    ASSERT_EQ(images.count(), 2);
    EXPECT_EQ(images.at(1).at(0).value<QImage>().format(), QImage::Format_Grayscale8);
    EXPECT_EQ(images.at(1).at(0).value<QImage>().size(), QSize(157, 196));
}

TEST_F(Scanning, GreyFramesOfDepthOneEightAndSixteen)
{
    const QImage black8 = scan({{"depth", "8"}});
    EXPECT_EQ(black8.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(black8.size(), QSize(157, 196)); // 80 x 100 mm at 50 dpi
    EXPECT_TRUE(allPixels(black8, qRgb(0, 0, 0)));
    EXPECT_TRUE(allPixels(scan({{"test-picture", "\"Solid white\""}}), qRgb(255, 255, 255)));

    // Line art: a set bit is black; 157 pixels fill 20 bytes a line, the last one in part.
    const QImage black1 = scan({{"depth", "1"}});
    EXPECT_EQ(black1.size(), QSize(157, 196));
    EXPECT_TRUE(allPixels(black1, qRgb(0, 0, 0)));
    EXPECT_TRUE(allPixels(scan({{"depth", "1"}, {"test-picture", "\"Solid white\""}}), qRgb(255, 255, 255)));
    const QImage grid = scan({{"depth", "1"}, {"test-picture", "\"Grid\""}});
    EXPECT_NE(grid.pixel(5, 5), grid.pixel(25, 5)) << "10 mm squares, 20 pixels at 50 dpi";

    // 16-bit samples in host order: from its fifth pixel on, a line of the pattern rises by 256 a
    // pixel, starting at the line's number less 4.
    const QImage ramp = scan({{"depth", "16"}, {"test-picture", "\"Color pattern\""}});
    ASSERT_EQ(ramp.format(), QImage::Format_Grayscale16);
    EXPECT_EQ(ramp.size(), QSize(157, 196));
    const auto sample = [&](int x, int y) { return reinterpret_cast<const quint16 *>(ramp.constScanLine(y))[x]; };
    EXPECT_EQ(sample(5, 10), 262);
    EXPECT_EQ(sample(8, 100), 4 * 256 + 96);
    EXPECT_EQ(sample(0, 0), 21845);
}

TEST_F(Scanning, ColourFromOneFrameOrThreePassesGivesTheSamePicture)
{
    const QImage pattern = scan({{"mode", "Color"}, {"test-picture", "\"Color pattern\""}});
    ASSERT_EQ(pattern.format(), QImage::Format_RGB32);
    ASSERT_EQ(pattern.size(), QSize(157, 196));
    QSet<QRgb> colours;
    for (int y = 0; y < pattern.height(); y += 7)
        for (int x = 0; x < pattern.width(); x += 3)
            colours.insert(pattern.pixel(x, y));
    EXPECT_GT(colours.size(), 20);
    EXPECT_TRUE(colours.contains(qRgb(255, 0, 0)) && colours.contains(qRgb(0, 255, 0))
                && colours.contains(qRgb(0, 0, 255)));

    for (const char *order : {"RGB", "BGR", "GRB"}) {
        const QImage threePass = scan({{"mode", "Color"}, {"three-pass", "true"},
                                       {"three-pass-order", order}, {"test-picture", "\"Color pattern\""}});
        EXPECT_EQ(threePass, pattern) << order;
    }
    EXPECT_TRUE(allPixels(scan({{"mode", "Color"}, {"three-pass", "true"}, {"test-picture", "\"Solid white\""}}),
                          qRgb(255, 255, 255)));

    // 16 and 1 bits a sample: white stays white, black stays black.
    const QImage white16 = scan({{"mode", "Color"}, {"depth", "16"}, {"test-picture", "\"Solid white\""}});
    EXPECT_EQ(white16.size(), QSize(157, 196));
    EXPECT_TRUE(allPixels(white16, qRgb(255, 255, 255)));
    EXPECT_TRUE(allPixels(scan({{"mode", "Color"}, {"depth", "1"}}), qRgb(0, 0, 0)));
    EXPECT_TRUE(allPixels(scan({{"mode", "Color"}, {"depth", "1"}, {"test-picture", "\"Solid white\""}}),
                          qRgb(255, 255, 255)));
}

TEST_F(Scanning, AHandScannerOfUnknownLengthFillsAGrowingBuffer)
{
    // 11 cm wide; the backend stops after its own number of lines.
    const QImage grey = scan({{"hand-scanner", "true"}, {"test-picture", "\"Solid white\""}});
    EXPECT_EQ(grey.size(), QSize(216, 334));
    EXPECT_TRUE(allPixels(grey, qRgb(255, 255, 255)));
    // Beyond the first step of the buffer: 200 dpi colour, 3 bytes a pixel.
    const QImage colour = scan({{"hand-scanner", "true"}, {"mode", "Color"}, {"resolution", "200"}});
    EXPECT_EQ(colour.width(), 866);
    EXPECT_GT(qint64(colour.height()) * colour.width() * 3, 1024 * 1024);
    EXPECT_TRUE(allPixels(colour, qRgb(0, 0, 0)));
    EXPECT_EQ(errors.count(), 0);
}

TEST_F(Scanning, AReadErrorBecomesATwainErrorWithSanesNumberAndText)
{
    EXPECT_TRUE(scan({{"read-status-code", "\"SANE_STATUS_JAMMED\""}}).isNull());
    const auto [number, title, reason] = lastError();
    EXPECT_EQ(number, 6);
    EXPECT_EQ(title, "Scanner error");
    EXPECT_EQ(reason, "Document feeder jammed (device test:0)");
    EXPECT_EQ(canceled.count(), 0);

    // The next session reads a healthy configuration and scans again.
    EXPECT_FALSE(scan({}).isNull());
}

TEST_F(Scanning, AScanLargerThanTheLimitIsRefusedWithAClearText)
{
    // The grey page is 157 x 196: 30772 bytes from the scanner, 123088 as a picture.
    twain.setMaxScanBytes(100000);
    EXPECT_TRUE(scan({}).isNull());
    auto [number, title, reason] = lastError();
    EXPECT_EQ(number, 10);
    EXPECT_TRUE(reason.startsWith("The scan is too large: 157 x 196 pixels need 0.1 MB")) << reason.toStdString();

    // Exactly at the limit it is read, without room to spare for the end of the data.
    twain.setMaxScanBytes(123088);
    EXPECT_EQ(scan({}).size(), QSize(157, 196));

    // Of unknown length: refused when it grows past the limit.
    twain.setMaxScanBytes(50000);
    EXPECT_TRUE(scan({{"hand-scanner", "true"}}).isNull());
    std::tie(number, title, reason) = lastError();
    EXPECT_EQ(number, 10);
    EXPECT_TRUE(reason.contains("too large") && reason.contains("test:0")) << reason.toStdString();

    // The limit holds for the frames of a scan together: three 16-bit passes need 184632
    // bytes, though their picture would fit.
    twain.setMaxScanBytes(150000);
    EXPECT_TRUE(scan({{"mode", "Color"}, {"depth", "16"}, {"three-pass", "true"}}).isNull());
    std::tie(number, title, reason) = lastError();
    EXPECT_EQ(number, 10);

    twain.setMaxScanBytes(TwainObject::kDefaultMaxScanBytes);
    EXPECT_EQ(scan({{"hand-scanner", "true"}}).size(), QSize(216, 334));
}

// Slow: 4 KB a read with a fifth of a second between reads, about 25 s for the page.
const Conf kSlowScan = {{"resolution", "200"}, {"read-limit", "true"}, {"read-limit-size", "4096"},
                        {"read-delay", "true"}, {"read-delay-duration", "200000"}};

TEST_F(Scanning, CancelInTheProgressWindowStopsTheScan)
{
    writeSaneTestConf(kSlowScan);
    ASSERT_TRUE(twain.openSource(nullptr));
    bool clicked = false;
    QTimer finder;
    finder.setInterval(10);
    QObject::connect(&finder, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() != "ScanProgressWindow" || !w->isVisible() || clicked)
                continue;
            auto *bar = w->findChild<QProgressBar *>("progressBar");
            auto *cancel = w->findChild<QPushButton *>("cmdCancel");
            ASSERT_TRUE(bar && cancel);
            EXPECT_EQ(cancel->text(), "Cancel");
            cancel->click();
            clicked = true;
        }
    });
    finder.start();
    twain.acquire(0, nullptr);
    finder.stop();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(canceled.count(), 1);
    EXPECT_EQ(images.count(), 0);
    EXPECT_EQ(errors.count(), 0) << (errors.isEmpty() ? std::string() : errors.first().at(2).toString().toStdString());
    EXPECT_EQ(canClose.count(), 1);
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->objectName() == "ScanProgressWindow" && w->isVisible());

    // The device is ready for the next scan at once.
    twain.closeSource();
    writeSaneTestConf({});
    ASSERT_TRUE(twain.openSource(nullptr));
    twain.acquire(0, nullptr);
    EXPECT_EQ(images.count(), 1);
}

TEST_F(Scanning, ClosingTheSourceDuringAScanCancelsItAndClosesAfterwards)
{
    writeSaneTestConf(kSlowScan);
    ASSERT_TRUE(twain.openSource(nullptr));
    QTimer::singleShot(0, &twain, [this] {
        twain.closeSource();
        EXPECT_TRUE(twain.isSourceOpen()) << "the device is still being read";
    });
    twain.acquire(0, nullptr);
    EXPECT_FALSE(twain.isSourceOpen());
    EXPECT_EQ(canceled.count(), 1);
    EXPECT_EQ(canClose.count(), 1);
    // A fresh session opens again.
    writeSaneTestConf({});
    EXPECT_TRUE(twain.openSource(nullptr));
}

TEST_F(Scanning, WithItsUiTheSourceOffersItsSettingsFirst)
{
    writeSaneTestConf({{"number_of_devices", "2"}});
    ASSERT_TRUE(twain.openSource(nullptr));
    chooser->answers.push_back(std::nullopt);
    twain.acquire(1, nullptr);
    ASSERT_EQ(chooser->requests.size(), 1u);
    EXPECT_TRUE(chooser->requests[0].settingsOnly);
    EXPECT_EQ(chooser->requests[0].current.deviceName, "test:0");
    EXPECT_EQ(canceled.count(), 1);
    EXPECT_EQ(canClose.count(), 1);
    EXPECT_EQ(images.count(), 0);

    chooser->answers.push_back(ScanSourceChoice{"test:0", "Color", 50});
    twain.acquire(1, nullptr);
    ASSERT_EQ(images.count(), 1);
    EXPECT_EQ(images.at(0).at(0).value<QImage>().format(), QImage::Format_RGB32);
}

TEST_F(Scanning, WithoutAnOpenSourceAcquireReportsAnError)
{
    twain.acquire(0, nullptr);
    EXPECT_EQ(std::get<0>(lastError()), 4);
    EXPECT_EQ(canClose.count(), 1);
}

TEST(ScanSourceDialog, ListsTheDevicesAndTheSettingsOfThePickedOne)
{
    ScanSourceRequest r;
    r.devices = {{"net:a", "Acme", "Flat 1", "flatbed scanner"}, {"usb:b", "Beta", "Hand 2", "handheld scanner"}};
    r.current = {"usb:b", "Lineart", 0};
    std::vector<QString> asked;
    r.optionsOf = [&](const QString &name) {
        asked.push_back(name);
        platform::ScanSourceOptions o;
        if (name == "usb:b") {
            o.modes = {"Lineart", "Gray"};
            o.mode = "Gray";
            o.resolutions = {100, 200};
            o.resolution = 200;
        }
        return o;
    };
    platform::ScanSourceDialog dlg(r);
    QTreeWidget *list = dlg.deviceList();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Acme");
    EXPECT_EQ(list->topLevelItem(0)->text(1), "Flat 1");
    EXPECT_EQ(list->topLevelItem(0)->text(2), "net:a");
    // The earlier choice is preselected, its mode over the device's current one.
    EXPECT_EQ(dlg.choice(), (ScanSourceChoice{"usb:b", "Lineart", 200}));
    EXPECT_EQ(dlg.resolutionBox()->count(), 2);

    // A device without such options offers none, and each device is asked once.
    list->setCurrentItem(list->topLevelItem(0));
    EXPECT_EQ(dlg.choice(), (ScanSourceChoice{"net:a", "", 0}));
    EXPECT_TRUE(dlg.modeBox()->isHidden());
    list->setCurrentItem(list->topLevelItem(1));
    EXPECT_EQ(asked, (std::vector<QString>{"usb:b", "net:a"}));
    dlg.resolutionBox()->setCurrentIndex(0);
    EXPECT_EQ(dlg.choice(), (ScanSourceChoice{"usb:b", "Lineart", 100}));
}

TEST(ScanSourceDialog, ARangeOffersTheUsualStepsInsideIt)
{
    EXPECT_EQ(platform::resolutionsInRange(60, 700, 123), (QList<double>{60, 75, 100, 123, 150, 200, 300, 400, 600, 700}));
    EXPECT_EQ(platform::resolutionsInRange(300, 300, 300), QList<double>{300});
}

} // namespace

// The backends run in the scanner helper: a device that stops answering is broken off, and
// the end of the helper is a failed call, never the end of the program.
TEST_F(Scanning, AnInterruptedReadFailsAndTheNextSessionScansAgain)
{
    writeSaneTestConf(kSlowScan);
    platform::Scanner &scanner = platform::Scanner::get();
    ASSERT_EQ(scanner.beginSession(), platform::ScanStatus::Good);
    std::unique_ptr<platform::ScanDeviceHandle> device;
    ASSERT_EQ(scanner.open(QStringLiteral("test:0"), device), platform::ScanStatus::Good);
    ASSERT_EQ(device->start(), platform::ScanStatus::Good);
    std::vector<unsigned char> buffer(1 << 20);
    int status = platform::ScanStatus::Good;
    std::unique_ptr<QThread> reader(QThread::create([&] {
        int length = 0;
        while (status == platform::ScanStatus::Good)
            status = device->read(buffer.data(), int(buffer.size()), length);
    }));
    reader->start();
    QThread::msleep(300); // a read or two in
    device->interrupt();
    ASSERT_TRUE(reader->wait(10000));
    EXPECT_EQ(status, platform::ScanStatus::IoError);
    platform::ScanParameters p;
    EXPECT_EQ(device->parameters(p), platform::ScanStatus::IoError) << "the helper is gone";
    device.reset();
    scanner.endSession();

    EXPECT_EQ(scan({}).size(), QSize(157, 196));
}

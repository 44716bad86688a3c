#include "support/TestSupport.h"
#include "support/SaneTestDevice.h"

#include "core/AppPath.h"
#include "core/Globals.h"
#include "platform/net/Download.h"
#include "platform/scan/ScanSourceChooser.h"
#include "platform/scan/Scanner.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <QDir>
#include <QMenu>
#include <QTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace testsupport {

namespace {
std::vector<std::function<void()>> &resets()
{
    static std::vector<std::function<void()>> r;
    return r;
}
} // namespace

void addStateReset(std::function<void()> reset) { resets().push_back(std::move(reset)); }

void resetProgramState()
{
    core::resetForTests();
    for (auto &r : resets())
        r();
    platform::Seam<platform::Prompter>::reset();
    platform::Seam<platform::Screen>::reset();
    platform::Seam<platform::Choosers>::reset();
    platform::Seam<platform::UrlOpener>::reset();
    platform::Seam<platform::PopupMenus>::reset();
    platform::Seam<platform::Downloader>::reset();
    platform::Seam<platform::Scanner>::reset();
    platform::Seam<platform::ScanSourceChooser>::reset();
    platform::Seam<platform::WaitWindows>::reset();
    setAppPathForTests(QString());
}

int ScriptedPrompter::msgBox(const QString &prompt, int style, const QString &title)
{
    shown.push_back({prompt, style, title});
    if (!answers.empty()) {
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    if ((style & 0x7) == platform::MsgStyle::OkOnly)
        return platform::MsgAnswer::Ok;
    ADD_FAILURE() << "unscripted question: " << prompt.toStdString();
    return platform::MsgAnswer::Cancel;
}

bool ScriptedPrompter::inputBox(const QString &prompt, const QString &title, const QString &,
                                QString &result)
{
    shown.push_back({prompt, -1, title});
    if (inputs.empty()) {
        ADD_FAILURE() << "unscripted input box: " << prompt.toStdString();
        return false;
    }
    const auto a = inputs.front();
    inputs.pop_front();
    if (a)
        result = *a;
    return a.has_value();
}

namespace {
// The menus from the popup down to the entry, when the entry can be reached by the user: every
// step on the way visible and enabled.
bool pathTo(QMenu &menu, const QAction *entry, std::vector<QMenu *> &path)
{
    path.push_back(&menu);
    for (QAction *a : menu.actions()) {
        if (!a->isVisible() || !a->isEnabled() || a->isSeparator())
            continue;
        if (a == entry)
            return true;
        if (QMenu *sub = a->menu(); sub && pathTo(*sub, entry, path))
            return true;
    }
    path.pop_back();
    return false;
}
} // namespace

QAction *ScriptedPopupMenus::popup(QMenu &menu, const QPoint &globalPos)
{
    positions.push_back(globalPos);
    emit menu.aboutToShow();
    if (choices.empty())
        return nullptr;
    const QString name = choices.front();
    choices.pop_front();
    QAction *chosen = nullptr;
    for (QAction *a : menu.findChildren<QAction *>())
        if (a->objectName() == name)
            chosen = a;
    if (!chosen) {
        ADD_FAILURE() << "no menu entry " << name.toStdString() << " in " << menu.objectName().toStdString();
        return nullptr;
    }
    std::vector<QMenu *> path;
    if (!pathTo(menu, chosen, path)) {
        ADD_FAILURE() << "menu entry is disabled or hidden: " << name.toStdString();
        return nullptr;
    }
    // As QMenu::exec does on a click: the entry fires, then each menu from the entry's own out
    // to the popup says which entry was triggered, before the chosen entry is returned.
    chosen->activate(QAction::Trigger);
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        emit (*it)->triggered(chosen);
    return chosen;
}

std::optional<platform::ScanSourceChoice> ScriptedSourceChooser::choose(QWidget *, const platform::ScanSourceRequest &request)
{
    requests.push_back(request);
    if (onChoose)
        onChoose(request);
    if (answers.empty()) {
        ADD_FAILURE() << "unscripted scanner choice";
        return std::nullopt;
    }
    std::optional<platform::ScanSourceChoice> a;
    a.swap(answers.front());
    answers.pop_front();
    return a;
}

std::optional<platform::FileDialogResult> ScriptedChoosers::chooseFile(const platform::FileDialogRequest &r)
{
    fileRequests.push_back(r);
    if (files.empty()) {
        ADD_FAILURE() << "unscripted file chooser: " << r.title.toStdString();
        return std::nullopt;
    }
    std::optional<platform::FileDialogResult> a;
    a.swap(files.front());
    files.pop_front();
    return a;
}

QString ScriptedChoosers::chooseFolder(const QString &title, const QString &)
{
    if (folders.empty()) {
        ADD_FAILURE() << "unscripted folder chooser: " << title.toStdString();
        return QString();
    }
    const QString a = folders.front();
    folders.pop_front();
    return a;
}

std::optional<std::uint32_t> ScriptedChoosers::chooseColor(std::uint32_t)
{
    if (colors.empty()) {
        ADD_FAILURE() << "unscripted colour chooser";
        return std::nullopt;
    }
    const auto a = colors.front();
    colors.pop_front();
    return a;
}

namespace {
class ScriptedWaitWindow final : public platform::WaitWindow {
public:
    ScriptedWaitWindow(ScriptedWaitWindows &owner, std::function<void()> onCancel)
        : owner_(owner), onCancel_(std::move(onCancel))
    {
        ++owner_.open;
        check(0, 0);
    }
    ~ScriptedWaitWindow() override
    {
        --owner_.open;
        *alive_ = false;
    }
    void setProgress(qint64 done, qint64 total) override
    {
        owner_.lastDone = done;
        check(done, total);
    }

private:
    void check(qint64 done, qint64 total)
    {
        if (cancelled_ || !owner_.cancelWhen || !owner_.cancelWhen(done, total))
            return;
        cancelled_ = true;
        // The button is pressed from the event loop the waiting code keeps running.
        QTimer::singleShot(0, [alive = alive_, cancel = onCancel_] {
            if (*alive && cancel)
                cancel();
        });
    }

    ScriptedWaitWindows &owner_;
    std::function<void()> onCancel_;
    bool cancelled_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
} // namespace

std::unique_ptr<platform::WaitWindow> ScriptedWaitWindows::show(QWidget *, const platform::WaitTexts &texts,
                                                                std::function<void()> onCancel)
{
    shown.push_back(texts);
    return std::make_unique<ScriptedWaitWindow>(*this, std::move(onCancel));
}

void ProgramTest::SetUp()
{
    ASSERT_TRUE(home.isValid());
    QDir(home.path()).mkpath(QStringLiteral("data"));
    QDir(home.path()).mkpath(QStringLiteral("language"));
    QDir(home.path()).mkpath(QStringLiteral("help"));
    setAppPathForTests(home.path());
    prompter = &platform::Seam<platform::Prompter>::install(std::make_unique<ScriptedPrompter>());
    screen = &platform::Seam<platform::Screen>::install(std::make_unique<FakeScreen>());
    choosers = &platform::Seam<platform::Choosers>::install(std::make_unique<ScriptedChoosers>());
    urls = &platform::Seam<platform::UrlOpener>::install(std::make_unique<RecordingUrlOpener>());
    popups = &platform::Seam<platform::PopupMenus>::install(std::make_unique<ScriptedPopupMenus>());
    scanSources = &platform::Seam<platform::ScanSourceChooser>::install(std::make_unique<ScriptedSourceChooser>());
    waits = &platform::Seam<platform::WaitWindows>::install(std::make_unique<ScriptedWaitWindows>());
    // No scanner unless a test sets up SANE's test device.
    writeSaneDllConf("# no backends\n");
}

void ProgramTest::TearDown() { resetProgramState(); }

void ProgramTest::writeFile(const QString &relative, const QByteArray &bytes) const
{
    const QString p = path(relative);
    QDir().mkpath(QFileInfo(p).path());
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << p.toStdString();
    f.write(bytes);
}

QByteArray ProgramTest::readFile(const QString &relative) const
{
    QFile f(path(relative));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void typeInto(QLineEdit *box, const QString &text)
{
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

void leaveByTab(QLineEdit *box)
{
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Tab);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window)) << window->objectName().toStdString();
    // The window system may count the window active while a popup of it that has just closed
    // still is the application's active window; shortcuts go by the latter. Ask again until no
    // other window holds it.
    EXPECT_TRUE(QTest::qWaitFor(
        [window] {
            const QWidget *active = QApplication::activeWindow();
            if (!active || active == window->window())
                return true;
            window->activateWindow();
            return false;
        },
        5000))
        << window->objectName().toStdString() << " stays behind another window";
}

MisbehavingPictureReader::MisbehavingPictureReader(qint64 memoryBytes) : before_(platform::pictureReaderLimits())
{
    platform::setPictureReaderLimits({1, memoryBytes, 3000});
    qputenv("PELMORA_DECODER_HELPER",
            QFile::encodeName(QCoreApplication::applicationDirPath() + QStringLiteral("/pelmora-decoder-misbehaving")));
}

MisbehavingPictureReader::~MisbehavingPictureReader()
{
    qunsetenv("PELMORA_DECODER_HELPER");
    platform::setPictureReaderLimits(before_);
}

int largestChannelDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 256;
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return most;
}

qint64 inkOf(const QImage &img)
{
    qint64 sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            sum += qAlpha(img.pixel(x, y));
    return sum;
}

QImage drawnByQt(const platform::imaging::TextStyle &st, const QString &text, bool asPath)
{
    namespace imaging = platform::imaging;
    const imaging::TextExtent e = imaging::textExtent(st, text);
    QImage img(e.size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    const double pixels = st.size * 96.0 / 72.0;
    const int whole = int(std::lround(pixels));
    const double k = pixels / whole, sx = st.widthPercent / 100.0;
    QFont f(st.fontName);
    f.setPixelSize(whole);
    f.setKerning(true);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(st.antiAlias == 0 ? QFont::NoAntialias : QFont::PreferAntialias);
    const QFontMetricsF fm(f);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, st.antiAlias != 0);
    p.setRenderHint(QPainter::TextAntialiasing, st.antiAlias != 0);
    p.setFont(f);
    p.setPen(Qt::black);
    double y = e.origin.y() + fm.ascent() * k;
    for (const QString &line : imaging::textLines(text)) {
        QTransform t;
        t.translate(e.origin.x(), y);
        t.scale(sx * k, k);
        p.setTransform(t);
        if (asPath) {
            QPainterPath path;
            path.addText(0, 0, f, line);
            p.fillPath(path, Qt::black);
        } else {
            p.drawText(QPointF(0, 0), line);
        }
        y += fm.lineSpacing() * k;
    }
    return img;
}

} // namespace testsupport

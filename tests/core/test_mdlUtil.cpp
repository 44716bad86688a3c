#include "core/AppError.h"
#include "core/mdlUtil.h"
#include "core/mdlUtilWindows.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QWidget>

namespace {
class Util : public testsupport::ProgramTest {};

long errorNumberOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const AppError &e) {
        return e.number();
    }
    return 0;
}
} // namespace

TEST(UtilPaths, BackslashBuildAndExtensions)
{
    EXPECT_EQ(addBackslash("/tmp/"), "/tmp/");
    EXPECT_EQ(addBackslash("/tmp"), "/tmp/");
    EXPECT_EQ(addBackslash(""), "");
    EXPECT_EQ(BuildPath({"a", "b", "c.txt"}), "a/b/c.txt");
    EXPECT_EQ(BuildPath({"", "b"}), "b");
    EXPECT_EQ(getExtension("Cover.JPG"), "jpg");
    EXPECT_EQ(getPathExtension("Cover.JPG"), "JPG");
    EXPECT_EQ(getExtension("noext"), "");
    EXPECT_EQ(stripExtension("my.cover.png"), "my.cover");
    EXPECT_EQ(stripExtension("plain"), "plain");
}

TEST(UtilPaths, SplitPath)
{
    const PathParts s = splitPath("//server/share/my.cover.png");
    EXPECT_EQ(s.drive, "//server");
    EXPECT_EQ(s.folder, "/share/");
    EXPECT_EQ(s.fileName, "my.cover.png");
    EXPECT_EQ(s.baseName, "my.cover");
    EXPECT_EQ(s.extension, "png");

    const PathParts d = splitPath("C:/covers/front");
    EXPECT_EQ(d.drive, "C:");
    EXPECT_EQ(d.folder, "/covers/");
    EXPECT_EQ(d.baseName, "front");
    EXPECT_EQ(d.extension, "");

    const PathParts plain = splitPath("/home/u/a.tif");
    EXPECT_EQ(plain.drive, "");
    EXPECT_EQ(plain.folder, "/home/u/");
    EXPECT_EQ(errorNumberOf([] { splitPath("//server"); }), ErrNo::InvalidCall);
}

TEST(UtilPaths, StripQuotes)
{
    EXPECT_EQ(stripQuotes("\"say\"\"hi\""), "say\"hi");
    EXPECT_EQ(stripQuotes("no quotes"), "no quotes");
    EXPECT_EQ(stripQuotes("\"open"), "\"open");
    EXPECT_EQ(errorNumberOf([] { stripQuotes("\""); }), ErrNo::InvalidCall);
    EXPECT_EQ(errorNumberOf([] { stripQuotes("\"\""); }), ErrNo::InvalidCall);
}

TEST_F(Util, FileTestsAndExtensionsOfAFolder)
{
    writeFile("pics/a.tif", "x");
    writeFile("pics/b.TIF", "x");
    writeFile("pics/c.tiff", "x");
    writeFile("pics/noext", "x");
    writeFile("pics/.hidden", "x");
    QDir(path("pics")).mkdir("sub.dir");
    QStringList ext = getFileExtensions(path("pics"));
    ASSERT_FALSE(ext.isEmpty());
    EXPECT_EQ(ext.takeFirst(), "*");
    ext.sort();
    EXPECT_EQ(ext, (QStringList{"dir", "hidden", "tif", "tiff"}));

    EXPECT_TRUE(getFileExtensions(path("missing")).isEmpty());
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains("mdlUtil.getFileExtensions"));

    EXPECT_TRUE(FileExists(path("pics/a.tif")));
    EXPECT_TRUE(FileExists("  " + path("pics/a.tif") + " "));
    EXPECT_TRUE(FileExists(path("pics/*.tiff")));
    EXPECT_FALSE(FileExists(path("pics/.hidden")));
    EXPECT_FALSE(FileExists(path("pics")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(fileExistsByAssociation(path("pics/noext")));
    EXPECT_TRUE(fileExistsByAssociation(path("pics")));
    EXPECT_FALSE(fileExistsByAssociation(path("pics/none")));
    EXPECT_TRUE(directoryExists(path("pics")));
    EXPECT_FALSE(directoryExists(path("pics/a.tif")));
    EXPECT_FALSE(directoryExists(""));
}

TEST_F(Util, TempFileNamesAreNewEmptyFiles)
{
    const QString a = getTempFileName(path("data"));
    const QString b = getTempFileName(path("data/"));
    EXPECT_NE(a, b);
    EXPECT_TRUE(QFileInfo(a).fileName().startsWith("vbn"));
    EXPECT_TRUE(a.endsWith(".tmp")) << "the name keeps its extension: " << a.toStdString();
    EXPECT_EQ(QFileInfo(a).size(), 0);
    EXPECT_TRUE(QFileInfo::exists(b));
    EXPECT_EQ(getTempFileName(path("no/such/folder")), "");
}

TEST(UtilValues, SafeValReadsTheLeadingNumber)
{
    EXPECT_EQ(safeVal("  12abc"), 12);
    EXPECT_EQ(safeVal("1.5"), 1.5);
    EXPECT_EQ(safeVal("1,5"), 1);
    EXPECT_EQ(safeVal("-3.25e2x"), -325);
    EXPECT_EQ(safeVal(" 1 615 198th"), 1615198);
    EXPECT_EQ(safeVal("abc"), 0);
    EXPECT_EQ(safeVal(""), 0);
    EXPECT_EQ(safeVal("1e999"), 0);
    EXPECT_EQ(safeVal(".5"), 0.5);
}

TEST(UtilValues, ArraysRotationAndUnits)
{
    EXPECT_TRUE(isInArray({"a", "b"}, "b"));
    EXPECT_FALSE(isInArray({"a", "b"}, "B"));
    EXPECT_TRUE(isBetween(5, 5, 5));
    EXPECT_FALSE(isBetween(5.01, 5, 5));
    int i = 3;
    EXPECT_EQ(Inc(i), 4);
    EXPECT_EQ(Inc(i, 10), 14);

    std::vector<int> keys{3, 1, 2};
    std::vector<QString> comp{"c", "a", "b"};
    sortArray(keys, comp, 0);
    EXPECT_EQ(keys, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(comp, (std::vector<QString>{"a", "b", "c"}));
    sortArray(keys, comp, 1);
    EXPECT_EQ(keys, (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(comp, (std::vector<QString>{"c", "b", "a"}));

    EXPECT_EQ(rotationClass(0), 1);
    EXPECT_EQ(rotationClass(360), 1);
    EXPECT_EQ(rotationClass(720), 1);
    EXPECT_EQ(rotationClass(-360), 1);
    EXPECT_EQ(rotationClass(270), 2);
    EXPECT_EQ(rotationClass(-90), 2);
    EXPECT_EQ(rotationClass(45), 0);
    EXPECT_EQ(rotationClass(0.5), 0);
    EXPECT_EQ(rotationClass(180.4), 0);

    EXPECT_DOUBLE_EQ(cmToInch(2.54), 1.0);
    EXPECT_DOUBLE_EQ(mmToInch(25.4), 1.0);
    QString dec, list;
    EXPECT_TRUE(getDecimalSeparator(dec));
    EXPECT_EQ(dec.size(), 1);
    EXPECT_TRUE(getListSeparator(list));
    EXPECT_NE(list, dec);
}

TEST(UtilImages, ImageFormatTableFollowsTheSaveFilter)
{
    const std::pair<const char *, int> expected[] = {
        {"jpg", 1}, {"png", 2}, {"psd", 9}, {"tif", 3}, {"pcx", 4},
        {"tga", 5}, {"wbmp", 10}, {"bmp", 6}, {"wmf", 7}, {"emf", 8}};
    for (int i = 1; i <= 10; ++i) {
        int code = -1;
        EXPECT_EQ(getImageFormat(i, code), expected[i - 1].first);
        EXPECT_EQ(code, expected[i - 1].second);
    }
    int code = 42;
    EXPECT_EQ(getImageFormat(0, code), "");
    EXPECT_EQ(getImageFormat(11, code), "");
    EXPECT_EQ(code, 42);
}

TEST(UtilImages, CopyFontLetsWeightDecide)
{
    QFont src(QStringLiteral("DejaVu Serif"), 14);
    src.setItalic(true);
    src.setUnderline(true);
    src.setStrikeOut(true);
    src.setWeight(QFont::Medium);
    QFont dst(QStringLiteral("DejaVu Sans"), 8);
    dst.setBold(true);
    copyFont(src, dst);
    EXPECT_EQ(dst.family(), "DejaVu Serif");
    EXPECT_EQ(dst.pointSize(), 14);
    EXPECT_TRUE(dst.italic() && dst.underline() && dst.strikeOut());
    EXPECT_EQ(dst.weight(), QFont::Medium);
}

TEST_F(Util, WindowsAndControls)
{
    QWidget form;
    form.resize(200, 100);
    form.show();
    const QRect before = form.geometry();
    EXPECT_TRUE(setFormTopmost(&form, true, true));
    EXPECT_TRUE(isFormTopmost(&form));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.geometry().size(), before.size());
    EXPECT_TRUE(setFormTopmost(&form, std::nullopt, false));
    EXPECT_TRUE(isFormTopmost(&form));
    EXPECT_TRUE(setFormTopmost(&form, false, false));
    EXPECT_FALSE(isFormTopmost(&form));
    EXPECT_FALSE(setFormTopmost(nullptr, true, true));

    QWidget frame;
    auto *a = new QRadioButton(&frame);
    a->setObjectName("optA");
    auto *b = new QRadioButton(&frame);
    b->setObjectName("optB");
    QWidget inner(&frame);
    auto *deep = new QRadioButton(&inner);
    deep->setEnabled(false);
    enableFrameControlsExcept(&frame, "optB");
    EXPECT_FALSE(a->isEnabled());
    EXPECT_TRUE(b->isEnabled());
    enableFrameControls(&frame);
    EXPECT_TRUE(a->isEnabled());
    EXPECT_FALSE(deep->isEnabled());

    EXPECT_EQ(getSelectedOptionIndex({a, b}), 0);
    b->setChecked(true);
    EXPECT_EQ(getSelectedOptionIndex({a, b}), 1);
    EXPECT_EQ(getSelectedOptionIndex({a, nullptr, b}), -1);

    choosers->folders.push_back(path("data"));
    EXPECT_EQ(BrowseForFolder("Pick"), path("data"));
}

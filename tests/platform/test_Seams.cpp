#include "platform/ui/Choosers.h"
#include "platform/ui/Screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>
#include "support/QtPrinters.h"

TEST(Choosers, ProgramFiltersBecomeQtNameFilters)
{
    EXPECT_EQ(platform::toQtNameFilters("All images|*.jpg;*.png|Bitmap BMP|*.bmp|"),
              (QStringList{"All images (*.jpg *.png)", "Bitmap BMP (*.bmp)"}));
    EXPECT_EQ(platform::toQtNameFilters("Windows Enhanced Metafile EMF|*.emf"),
              QStringList{"Windows Enhanced Metafile EMF (*.emf)"});
}

TEST(Screen, TestPlatformRunsAt96DpiSo15TwipsPerPixel)
{
    auto s = platform::makeQtScreen();
    EXPECT_DOUBLE_EQ(s->twipsPerPixelX(), 15.0);
    EXPECT_DOUBLE_EQ(s->twipsPerPixelY(), 15.0);
}

TEST(Screen, PointerIsAnAbsoluteState)
{
    auto s = platform::makeQtScreen();
    s->setMousePointer(platform::Pointer::Hourglass);
    s->setMousePointer(platform::Pointer::Hourglass);
    EXPECT_EQ(s->mousePointer(), 11);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    s->setMousePointer(platform::Pointer::Default);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

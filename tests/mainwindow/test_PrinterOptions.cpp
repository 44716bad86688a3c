#include "core/Globals.h"
#include "mainwindow/frmPrinterOptions.h"
#include "platform/print/PrintLibrary.h"

#include "support/TestSupport.h"

#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {
class PrinterOptions : public testsupport::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        platform::Seam<platform::PrintLibrary>::install(platform::makePdfPrintLibrary(out.path(), {"Office", "Photo"}, 300));
        gIntPrintPrinterIndex = -1;
        gIntPrintDialogResult = 0;
    }
    void TearDown() override
    {
        platform::Seam<platform::PrintLibrary>::reset();
        ProgramTest::TearDown();
    }
    QTemporaryDir out;
};
} // namespace

TEST_F(PrinterOptions, PreselectsTheCurrentPrinterThenTheChosenOne)
{
    {
        frmPrinterOptions dlg;
        EXPECT_EQ(dlg.lstPrinter->count(), 2);
        EXPECT_EQ(dlg.lstPrinter->currentRow(), 0);
        EXPECT_EQ(gIntPrintPrinterIndex, 0);
        EXPECT_EQ(gStrPrintPrinterName, "Office");
        dlg.lstPrinter->setCurrentRow(1);
        EXPECT_EQ(gIntPrintPrinterIndex, 1);
        EXPECT_EQ(platform::PrintLibrary::get().currentPrinter(), 1);
        dlg.optColor[1]->click();
        EXPECT_EQ(gBytePrintColor, 1);
        dlg.cmdCancel_Click();
        EXPECT_EQ(gIntPrintDialogResult, 0);
    }
    frmPrinterOptions again;
    EXPECT_EQ(again.lstPrinter->currentRow(), 1);
    EXPECT_TRUE(again.optColor[1]->isChecked());
    again.cmdPrint_Click();
    EXPECT_EQ(gIntPrintDialogResult, 1);
}

TEST_F(PrinterOptions, WithoutPrintersTheListSaysSo)
{
    platform::Seam<platform::PrintLibrary>::install(platform::makePdfPrintLibrary(out.path(), {}, 300));
    frmPrinterOptions dlg;
    ASSERT_EQ(dlg.lstPrinter->count(), 1);
    EXPECT_EQ(dlg.lstPrinter->item(0)->text(), "No Printer available");
    dlg.close();
    EXPECT_EQ(gIntPrintDialogResult, 0);
}

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"

#include "support/TestSupport.h"

namespace {
class ErrorReport : public testsupport::ProgramTest {};
}

TEST_F(ErrorReport, SixLinesWithBuiltInTextsWhenNoLanguageIsLoaded)
{
    try {
        throw AppError(ErrNo::FileNotFound);
    } catch (...) {
        reportError("ERR_INSTALL", "libInitialize.Main");
    }
    ASSERT_EQ(prompter->shown.size(), 1u);
    const auto &m = prompter->shown[0];
    EXPECT_EQ(m.title, "Fehler / Error");
    EXPECT_EQ(m.style, 16);
    EXPECT_EQ(m.prompt.split("\r\n"),
              (QStringList{"Fehler / Error", "ERROR", "", " 53", " libInitialize.Main", " File not found"}));
}

TEST_F(ErrorReport, LabelsAndMessageComeFromTheLanguageFile)
{
    writeFile("language/English.dll", "[ERRORS]\nERR=Error\nERR_DESCRIPTON=An error occurred:\n"
                                      "ERR_NUMBER=Number:\nERR_MODULE=Module:\nERR_ERROR_TEXT=Text:\n"
                                      "ERR_READOPTIONS=The options could not be read.\n");
    gObjLanguageStore().setInitFileName(path("language/English.dll"));
    gObjLanguageStore().initializeAll("ERRORS");
    try {
        throw AppError(ErrNo::Overflow);
    } catch (...) {
        reportError("ERR_READOPTIONS", "libInitialize.readOptions");
    }
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].title, "Error");
    EXPECT_EQ(prompter->shown[0].prompt,
              "An error occurred:\r\nThe options could not be read.\r\n\r\nNumber: 6\r\n"
              "Module: libInitialize.readOptions\r\nText: Overflow");
}

TEST_F(ErrorReport, GetErrorTextResetsThePointerGetMessageTextDoesNot)
{
    writeFile("language/English.dll", "[ERRORS]\nERR_X=found\n[MESSAGES]\nMSG_X=message\n");
    gObjLanguageStore().setInitFileName(path("language/English.dll"));
    gObjLanguageStore().initializeAll("ERRORS;MESSAGES");
    screen->setMousePointer(11);
    EXPECT_EQ(getMessageText("MSG_X", "d"), "message");
    EXPECT_EQ(screen->pointer, 11);
    EXPECT_EQ(getErrorText("ERR_X", "d"), "found");
    EXPECT_EQ(screen->pointer, 0);
    EXPECT_EQ(getErrorText("ERR_MISSING", "caller's default"), "caller's default");
}

TEST_F(ErrorReport, DirectLookupHandlersLeaveThePointer)
{
    screen->setMousePointer(11);
    try {
        throw std::runtime_error("boom");
    } catch (...) {
        reportError("ERR_CHANGE_LANGUAGE", "changeLanguage", false);
    }
    EXPECT_EQ(screen->pointer, 11);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.endsWith(" boom"));
}

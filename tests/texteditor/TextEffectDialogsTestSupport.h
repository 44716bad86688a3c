#pragma once
// What the shadow and gradient dialog tests share: a scripted text editor that counts its
// previews and keeps what each one would have drawn, and the working records set up the way
// the text editor's opening writes them.
#include "support/TestSupport.h"

#include "canvas/Globals.h"
#include "canvas/clsTextGradient.h"
#include "canvas/clsTextShadow.h"
#include "core/AppPath.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "texteditor/Globals.h"
#include "texteditor/TextEditorSeams.h"

#include <QDir>
#include <QFile>
#include <QWidget>
#include <functional>
#include <vector>

namespace effectstest {

class ScriptedEditor final : public texteditor::TextEditorHost {
public:
    QWidget *window() override { return &owner; }
    QString text() const override { return QStringLiteral("Side A"); }
    void setText(const QString &) override {}
    void focusTextAtEnd() override {}
    bool previewEnabled() const override { return true; }
    void setPreviewEnabled(bool) override {}
    bool autoPreview() const override { return autoPreviewOn; }
    void doPreview() override
    {
        ++previews;
        shadowsPreviewed.emplace_back();
        shadowsPreviewed.back().copy(*gObjTextShadow());
        gradientsPreviewed.emplace_back();
        gradientsPreviewed.back().copy(*gObjTextGradient());
        if (onPreview)
            onPreview();
    }

    QWidget owner;
    bool autoPreviewOn = true;
    int previews = 0;
    std::vector<clsTextShadow> shadowsPreviewed;
    std::vector<clsTextGradient> gradientsPreviewed;
    std::function<void()> onPreview;
};

inline bool sameShadow(const clsTextShadow &a, const clsTextShadow &b)
{
    return a.mBoolIsActive == b.mBoolIsActive && a.mByteOpacitiy == b.mByteOpacitiy &&
           a.mDblBlurLevel == b.mDblBlurLevel && a.mlngColor == b.mlngColor && a.mLngX == b.mLngX && a.mLngY == b.mLngY;
}

inline bool sameGradient(const clsTextGradient &a, const clsTextGradient &b)
{
    return a.mBoolIsActive == b.mBoolIsActive && a.mlngColor1 == b.mlngColor1 && a.mlngColor2 == b.mlngColor2 &&
           a.mBoolRainbow == b.mBoolRainbow && a.mBoolCenter == b.mBoolCenter &&
           a.mObjPointStart->mLngX == b.mObjPointStart->mLngX && a.mObjPointStart->mLngY == b.mObjPointStart->mLngY &&
           a.mObjPointEnd->mLngX == b.mObjPointEnd->mLngX && a.mObjPointEnd->mLngY == b.mObjPointEnd->mLngY;
}

class TextEffectTest : public testsupport::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        static const bool registered = [] {
            testsupport::addStateReset([] {
                texteditor::resetForTests();
                canvas::resetForTests();
            });
            return true;
        }();
        (void)registered;
        const QDir source(QStringLiteral(PELMORA_SOURCE_DIR "/resources/language"));
        for (const QString &f : source.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(source.filePath(f), path(QStringLiteral("language/") + f)));
        setLanguage(path(QStringLiteral("language/English.dll")));
        openTextEditor();
    }

    // The records as every opening of the text editor leaves them.
    static void openTextEditor() { writeDefaultTextEffects(); }

    ScriptedEditor editor;
};

} // namespace effectstest

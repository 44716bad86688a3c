#pragma once
// A scripted text editor and dialog runner for the track-list tests, and a test with the
// English language file, the separator table and the MP3 fixtures at hand.
#include "support/TestSupport.h"
#include "texteditor/TextEditorSeams.h"
#include "tracklists/ModalRunner.h"

#include <QDialog>
#include <QWidget>
#include <deque>
#include <functional>

namespace tracktest {

class ScriptedEditor final : public texteditor::TextEditorHost {
public:
    QWidget *window() override { return &widget; }
    QString text() const override { return mText; }
    void setText(const QString &t) override
    {
        mText = t;
        ++textSets;
    }
    void focusTextAtEnd() override { ++focusCalls; }
    bool previewEnabled() const override { return preview; }
    void setPreviewEnabled(bool on) override
    {
        preview = on;
        previewFlags.push_back(on);
    }
    bool autoPreview() const override { return true; }
    void doPreview() override
    {
        ++previews;
        EXPECT_TRUE(preview) << "a preview while the preview flag is off";
    }

    QWidget widget;
    QString mText;
    bool preview = true;
    std::vector<bool> previewFlags;
    int previews = 0, focusCalls = 0, textSets = 0;
};

// Works each dialog shown with the next script; with none left the test fails and the dialog
// is closed.
class ScriptedRunner final : public tracklists::ModalRunner {
public:
    void run(QDialog &dialog) override
    {
        if (scripts.empty()) {
            ADD_FAILURE() << "unscripted dialog " << dialog.objectName().toStdString();
            dialog.hide();
            return;
        }
        auto script = std::move(scripts.front());
        scripts.pop_front();
        script(dialog);
    }
    template <class Form>
    void then(std::function<void(Form &)> script)
    {
        scripts.push_back([script](QDialog &d) {
            auto *form = qobject_cast<Form *>(&d);
            ASSERT_TRUE(form) << "another dialog: " << d.objectName().toStdString();
            script(*form);
        });
    }
    std::deque<std::function<void(QDialog &)>> scripts;
};

class TrackListTest : public testsupport::ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A copy of a fixture of tests/tracklists/data in the test's folder.
    QString fixture(const QString &name, const QString &as = QString());
    // The language file's text of a key, as the program shows it.
    static QString errorText(const char *key);

    ScriptedEditor editor;
    ScriptedRunner *runner = nullptr;
};

} // namespace tracktest

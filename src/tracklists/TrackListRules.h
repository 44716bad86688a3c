#pragma once
// What the track-list imports share: the meaning of a chosen separator, the question after the
// 22nd entry, and the way their lines are appended to the text editor.
#include <QString>
#include <QStringList>

namespace texteditor { class TextEditorHost; }

// A separator chosen in a dialog as it goes into a line: the space label stands for " ", the
// tab label for a tab; any other entry for itself.
QString separatorValue(const QString &label);
// The same for the dialogs' sample line, where a tab shows as three spaces.
QString previewSeparator(const QString &label);

// The question once an import holds more than 21 entries: go on, or keep what is there.
class RowLimitPrompt {
public:
    // Counts one more entry taken; false when the user chose to stop here.
    bool countAndAsk();
    // Before taking another entry when `taken` are in (a dropped text file asks before its
    // 23rd line); false when the user chose to stop.
    bool askBeforeNext(int taken);
    // Whether the question was asked (and, while the import goes on, answered Yes).
    bool asked() const { return mBoolAsked; }

private:
    bool ask();

    int mIntCount = 0;
    bool mBoolAsked = false;
};

// Upper case that keeps the length of the text: a character whose capital is longer ("ß",
// whose capital is "SS") stays as it is, so that columns lined up with blanks stay in line.
QString upperKeepingLength(const QString &text);

// Appends lines to the edit box (after a line break when it holds text), upper-cased when
// asked, then focus and caret to its end. No line, no change.
void appendTrackLines(texteditor::TextEditorHost &editor, QStringList lines, bool upper);

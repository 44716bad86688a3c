#pragma once
// What the benchmarks of texts on the canvas share: the editor's canvas as the graphics editor
// provides it, messages counted instead of shown, the process's CPU time and a costly text.
#include "canvas/CanvasServices.h"
#include "canvas/Globals.h"
#include "canvas/ZoomAdaptation.h"
#include "canvas/clsMoveableObjects.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/imaging/TextDrawing.h"
#include "platform/ui/Prompter.h"

#include <ctime>

namespace bench {

// A white canvas of a size, its objects fitted to the zoom by the canvas model.
class Canvas final : public CanvasServices {
public:
    Canvas(int width, int height)
    {
        canvas_.resize(width, height);
        canvas_.image()->blank(width, height, 0xFFFFFF, 255, 6, platform::kNoUndo);
    }
    platform::ImgxCanvas &editorCanvas() override { return canvas_; }
    void adaptObjectSizeToZoom(const QString &key) override { ::adaptObjectSizeToZoom(*gObjMoveableObjects(), key); }

private:
    platform::ImgxCanvas canvas_;
};

class CountedMessages final : public platform::Prompter {
public:
    int msgBox(const QString &, int, const QString &) override { return ++shown, platform::MsgAnswer::Ok; }
    bool inputBox(const QString &, const QString &, const QString &, QString &) override { return false; }
    int shown = 0;
};

// The CPU time of the process (all threads), in seconds.
inline double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// 50,000 characters of letters with the most combining accents the bounds let one carry, in
// lines of 20 such letters.
inline QString accentedLetters()
{
    QString t;
    const int marks = platform::imaging::kMaxCombiningMarks;
    for (int n = 1; t.size() + 3 + marks <= platform::imaging::kMaxTextCharacters; ++n) {
        t += QChar(char16_t(u'a' + n % 26)) + QString(marks, QChar(0x301));
        if (n % 20 == 0)
            t += QStringLiteral("\r\n");
    }
    return t;
}

} // namespace bench

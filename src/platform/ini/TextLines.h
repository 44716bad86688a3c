#pragma once
// The lines of a text held whole, as bytes (QByteArrayView) or decoded (QStringView): a line
// ends in CR LF, LF or CR, and a line end after the last line opens no further line.
#include <QByteArrayView>
#include <QStringView>

namespace platform {

// Calls take(line, lineEnd) for every line, in order: the line without its end, and its end as
// it stands ("" for a last line without one).
template <typename View, typename Take>
void forEachLine(View text, Take &&take)
{
    const qsizetype n = text.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype i = start;
        while (i < n && text[i] != u'\n' && text[i] != u'\r')
            ++i;
        const qsizetype endLength = i == n ? 0 : text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n' ? 2 : 1;
        take(text.sliced(start, i - start), text.sliced(i, endLength));
        start = i + endLength;
    }
}

} // namespace platform

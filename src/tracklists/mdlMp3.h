#pragma once
// The line of one MP3 file in a track list (title, artist and play length in a chosen order,
// with chosen separators), the play length itself and the alignment of tab columns.
#include <QString>
#include <QStringList>
#include <cstdint>

class clsID3v1Tag;

// The line of one file: field1 & sep1 & field2 & sep2 & field3 & sep3, each field by
// getMp3Field; the text of ERRORS.ERR_NOID3 alone when the file has no readable ID3v1 tag.
QString getMp3Caption(const QString &path, const QString &field1, const QString &sep1, const QString &field2,
                      const QString &sep2, const QString &field3, const QString &sep3);
// The field named by one of the labels gStrMp3Title, gStrMp3Artist, gStrMp3Duration; "" for
// any other name.
QString getMp3Field(const QString &fieldName, const clsID3v1Tag &tag, const QString &path);
// Play length in milliseconds, 0 when it cannot be measured. A failure of the decoding library
// is reported (ERRORS.ERR_GETMP3_LENGTH) and gives 0.
std::int64_t GetMP3Length(const QString &path);
// "mm:ss"; minutes beyond 99 with all their digits.
QString formatDuration(std::int64_t milliseconds);
// The largest 1-based position of a line's first tab, 0 when no line holds one.
int getMaxTabPosition(const QStringList &lines);
// Replaces the tabs of each line by spaces so that the text after the first tab starts in one
// column. Nothing happens for fewer than two lines or when the first line holds no tab.
void alignTabColumns(QStringList &lines);

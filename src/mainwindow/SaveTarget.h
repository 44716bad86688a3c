#pragma once
// The file a save dialog's answer names, and the format it is written in.
#include <QString>
#include <optional>

struct ImageSaveTarget {
    QString path;
    int saveType = 0; // the imaging file-type code
};

// The chosen name and filter row of the save filter: a name typed without an extension gets
// the row's, and a name whose extension is one of the save formats is written in that format
// (a "cover.png" is a PNG file whatever row was chosen). When adding the extension names a
// file that exists already, the user is asked first; nothing when the answer is not to
// replace it. Raises AppError for a row that names no format.
std::optional<ImageSaveTarget> imageSaveTarget(const QString &chosen, int filterIndex);

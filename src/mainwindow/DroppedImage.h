#pragma once
// What a drop onto a cover side brings, as the main window and the quick-load window take it:
// the first dropped file, else one image address (a link or the text a web browser drops).
#include "platform/imaging/ImgxImage.h"
#include "platform/net/Download.h"

#include <QString>

class QMimeData;
class QWidget;

struct DroppedImage {
    QString file;    // the first local file, if any
    QString address; // otherwise the first address, or the dropped text
};

DroppedImage droppedImageOf(const QMimeData &data);

// Whether an address ends like a picture the program reads ("...jpg", "...png", ...).
bool hasImageAddressEnding(const QString &address);

// The message for a picture refused by the loading limits, naming its size; empty for any
// other failure.
QString tooLargePictureText(const platform::CodecResult &read);
// What the program says of a picture file it could not read, whichever way it came (opened,
// dropped, downloaded, browsed): the message for one over the limits (by its size, or by the
// memory its reading took), for one whose reading took too long, else that the picture is
// damaged or of a type it does not read.
QString unreadablePictureText(const platform::CodecResult &read);

// Downloads a dropped address with these limits and loads it. A wait window over owner shows
// the progress and offers Cancel meanwhile; a cancelled download gives no image (nullptr), and
// so does a drop while another picture is being read.
// Raises AppError with the download's number and cause (host not found, timed out, the
// HTTP status, ...) or unreadablePictureText, when nothing readable came; every cause in the
// program's language.
platform::ImgxImagePtr loadDroppedAddress(const QString &address, const platform::DownloadLimits &limits,
                                          QWidget *owner);
// Loads a dropped file; nullptr while another picture is being read, else as above.
platform::ImgxImagePtr loadDroppedFile(const QString &file);

// The headline of the error report of the failed drop being handled (call it inside a catch
// block): a picture over the loading limits, one whose reading took too long, an address that
// could not be downloaded, or else a picture the program cannot read. The cause itself is the
// report's description.
QString dropFailureText();

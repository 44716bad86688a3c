// Reads one picture through the picture reader and prints what the load said (its message, or
// "loaded"), for the tests that start the program's reading from a terminal of their own.
//   pelmora-load-probe <file>
#include "platform/imaging/PictureReader.h"

#include <QCoreApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QImage image;
    const platform::CodecResult r = platform::loadImageFile(QString::fromLocal8Bit(argv[1]), image);
    std::printf("%s\n", r.ok ? "loaded" : qPrintable(r.message));
    return r.ok ? 0 : 1;
}

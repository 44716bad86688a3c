// Prints the track-list line "title artist length" of each MP3 file named on the command line,
// one a line, as the track list makes them: the program's side of bench/compare-mp3info, a
// process over the same files as `mp3info -F -p "%t %a %S\n" FILE...`, so that both sides pay
// for starting a process and writing their lines alike.
#include "core/Globals.h"
#include "tracklists/mdlMp3.h"

#include <QFile>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray line = getMp3Caption(QFile::decodeName(argv[i]), gStrMp3Title, QStringLiteral(" "),
                                              gStrMp3Artist, QStringLiteral(" "), gStrMp3Duration, QString())
                                    .toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fputc('\n', stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

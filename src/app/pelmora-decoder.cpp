// The picture reader: reads one picture file for the program, in a process of its own under
// the limits the program sets (see platform/imaging/PictureReader.h).
#include "platform/imaging/PictureReader.h"

int main(int argc, char **argv) { return platform::runPictureReader(argc, argv); }

#pragma once
// The program's picture for the about box and the tip of the day: a disc before its case.
#include <QPixmap>

QPixmap pelmoraLogo(int size);

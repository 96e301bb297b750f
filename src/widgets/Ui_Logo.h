#pragma once

#include <QPixmap>

// The maker's logo, drawn at run time so the program needs no picture file.
QPixmap Make_Maker_Logo(int Width, int Height);

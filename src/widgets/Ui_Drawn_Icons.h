#pragma once

#include <QIcon>

// The main window's three icons, drawn at run time at whatever size and
// pixel ratio they are shown: no icon theme is searched and no picture
// format is loaded to start the window, and they look the same on every
// system.
namespace Drawn_Icons {

QIcon Information();  // a letter i in a blue disc
QIcon Options();      // the lines of a list
QIcon Close();        // a cross

} // namespace Drawn_Icons

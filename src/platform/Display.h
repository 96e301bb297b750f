#pragma once

// Whether a window can be shown: on Linux a display server must be named
// (DISPLAY, WAYLAND_DISPLAY) or a platform chosen (QT_QPA_PLATFORM); a
// Windows desktop always has one.
bool Display_Available();

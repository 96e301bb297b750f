#pragma once

#include <QList>
#include <QRect>

class QWidget;

// The windows are laid out for the English texts, and other languages are
// longer. These grow controls to their texts, the laid-out geometry being the
// minimum, and bring them back to it when a shorter text returns.

// The width Control needs to show its text whole: a button its caption and
// icon within the style's frame and margin, any other control its size hint.
int Text_Width(const QWidget* Control);

// The geometry Control was laid out with, remembered the first time it is
// asked for (so ask before anything moves it).
QRect Laid_Out_Geometry(QWidget* Control);

// Forgets the laid-out geometry, for a window that lays Control out anew
// (the next ask remembers its geometry then).
void Forget_Laid_Out_Geometry(QWidget* Control);

// Lays a row of controls out again from the laid-out left edge of the first,
// each as wide as its text needs and at least its laid-out width, with the
// laid-out gaps. Returns the right edge of the row (one past its last pixel).
int Fit_Row_Left(const QList<QWidget*>& Row);

// The same from the right: the last control keeps its distance to the right
// edge of its parent, which may have grown by Parent_Growth since the layout.
// Returns the left edge of the row.
int Fit_Row_Right(const QList<QWidget*>& Row, int Parent_Growth = 0);

// Widens Control to its text, at least its laid-out width, keeping its left edge.
void Fit_Width(QWidget* Control, int Extra = 0);

// Makes Window Extra pixels wider than laid out (never narrower); a window of
// fixed size keeps a fixed size.
void Widen_Window(QWidget* Window, int Extra);

#pragma once

#include <QRect>
#include <QString>

#include <utility>

class QPushButton;
class QWidget;

// Construction of the hand-laid windows: every control gets its name (the
// tests and the accessibility tools find it by that) and its place in one go.

// A control of kind Control on Parent, named Name and placed at Place; a null
// Place leaves it to a layout done later.
template <class Control>
Control* Make_Control(QWidget* Parent, const QString& Name, const QRect& Place = {})
{
    auto* Made = new Control(Parent);
    Made->setObjectName(Name);
    if (!Place.isNull())
        Made->setGeometry(Place);
    return Made;
}

// The Btn_OK and Btn_Cancel pair at the end of a row, in this order: Cancel
// ends at Right (one past its last pixel), OK stands Gap to its left, both
// Size big with their tops at Top. Cancel never takes Enter as the default
// button; what OK does with Enter is the window's choice.
std::pair<QPushButton*, QPushButton*> Make_Ok_Cancel(QWidget* Parent, int Right, int Top, QSize Size, int Gap);

// Places a pair as Make_Ok_Cancel does, for a window laid out after its
// controls are made.
void Place_Ok_Cancel(QPushButton* OK, QPushButton* Cancel, int Right, int Top, QSize Size, int Gap);

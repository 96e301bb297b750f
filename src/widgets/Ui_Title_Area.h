#pragma once

class QLabel;
class QWidget;

// The title area every window shows: the software code in large type with
// the description line under it.
struct Title_Area {
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
};

Title_Area Make_Title_Area(QWidget* Parent, int Width);

#include "widgets/Ui_Title_Area.h"

#include <QFont>
#include <QLabel>

Title_Area Make_Title_Area(QWidget* Parent, int Width)
{
    Title_Area Area;
    Area.L_SW_Code = new QLabel(Parent);
    Area.L_SW_Code->setObjectName(QStringLiteral("L_SW_Code"));
    QFont Big = Area.L_SW_Code->font();
    Big.setPointSize(20);
    Big.setBold(true);
    Area.L_SW_Code->setFont(Big);
    Area.L_SW_Code->setGeometry(12, 6, Width - 24, 34);

    Area.L_SW_Desc = new QLabel(Parent);
    Area.L_SW_Desc->setObjectName(QStringLiteral("L_SW_Desc"));
    QFont Desc = Area.L_SW_Desc->font();
    Desc.setBold(true);
    Area.L_SW_Desc->setFont(Desc);
    Area.L_SW_Desc->setGeometry(12, 40, Width - 24, 20);
    Area.L_SW_Code->setTextFormat(Qt::PlainText);
    Area.L_SW_Desc->setTextFormat(Qt::PlainText);
    return Area;
}

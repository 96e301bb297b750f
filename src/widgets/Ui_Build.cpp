#include "widgets/Ui_Build.h"

#include <QPushButton>

std::pair<QPushButton*, QPushButton*> Make_Ok_Cancel(QWidget* Parent, int Right, int Top, QSize Size, int Gap)
{
    auto* OK = Make_Control<QPushButton>(Parent, QStringLiteral("Btn_OK"));
    auto* Cancel = Make_Control<QPushButton>(Parent, QStringLiteral("Btn_Cancel"));
    Cancel->setAutoDefault(false);
    Place_Ok_Cancel(OK, Cancel, Right, Top, Size, Gap);
    return {OK, Cancel};
}

void Place_Ok_Cancel(QPushButton* OK, QPushButton* Cancel, int Right, int Top, QSize Size, int Gap)
{
    OK->setGeometry(QRect(QPoint(Right - 2 * Size.width() - Gap, Top), Size));
    Cancel->setGeometry(QRect(QPoint(Right - Size.width(), Top), Size));
}

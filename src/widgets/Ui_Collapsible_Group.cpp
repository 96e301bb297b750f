#include "widgets/Ui_Collapsible_Group.h"

#include <QFrame>
#include <QToolButton>

namespace {
constexpr int Caption_Height = 26;
}

Collapsible_Group::Collapsible_Group(const QString& Name, int Width, QWidget* Parent) : QWidget(Parent)
{
    setObjectName(Name);
    Caption = new QToolButton(this);
    Caption->setObjectName(Name + QStringLiteral("_Header"));
    Caption->setCheckable(true);
    Caption->setChecked(true);
    Caption->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Caption->setArrowType(Qt::DownArrow);
    Caption->setAutoRaise(false);
    Caption->setGeometry(0, 0, Width, Caption_Height);
    QFont Bold = Caption->font();
    Bold.setBold(true);
    Caption->setFont(Bold);
    Caption->setStyleSheet(QStringLiteral("QToolButton { text-align: left; padding-left: 4px; }"));

    auto* Frame = new QFrame(this);
    Frame->setObjectName(Name + QStringLiteral("_Body"));
    Frame->setFrameShape(QFrame::StyledPanel);
    Content = Frame;
    Content->setGeometry(0, Caption_Height, Width, 0);
    connect(Caption, &QToolButton::toggled, this, [this](bool On) {
        Caption->setArrowType(On ? Qt::DownArrow : Qt::RightArrow);
        Fit();
        emit Height_Changed();
    });
    resize(Width, Caption_Height);
}

void Collapsible_Group::Set_Caption(const QString& Text)
{
    Caption->setText(Text);
    Caption->setAccessibleName(Text);
}

QString Collapsible_Group::Caption_Text() const { return Caption->text(); }

int Collapsible_Group::Header_Height() const { return Caption_Height; }

void Collapsible_Group::Set_Body_Height(int Height)
{
    Body_Height = Height;
    Fit();
}

bool Collapsible_Group::Is_Expanded() const { return Caption->isChecked(); }

void Collapsible_Group::Set_Expanded(bool Expanded) { Caption->setChecked(Expanded); }

void Collapsible_Group::Fit()
{
    Content->setVisible(Is_Expanded());
    Content->resize(width(), Body_Height);
    resize(width(), Caption_Height + (Is_Expanded() ? Body_Height : 0));
}

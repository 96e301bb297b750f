#include "shell/TFAbout.h"

#include "platform/Desktop_Shell.h"
#include "shell/Shell_Texts.h"
#include "widgets/Ui_Logo.h"
#include "foundation/Web_Addresses.h"
#include "foundation/Workspace.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {
constexpr int About_Width = 425;
constexpr int About_Height = 148;
constexpr int Text_X = 148;
constexpr int Value_X = 268;
} // namespace

TFAbout::TFAbout(Workspace& Space_, Desktop_Shell* Desktop_, QWidget* Parent)
    : QDialog(Parent), Space(Space_), Desktop(Desktop_)
{
    setObjectName(QStringLiteral("TFAbout"));
    setFixedSize(About_Width, About_Height);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(10, 18, 130, 52);
    Image2->setPixmap(Make_Maker_Logo(130, 52));
    Image2->setCursor(Qt::PointingHandCursor);
    Image2->setAccessibleName(Identity::Maker_Host);
    Image2->installEventFilter(this);

    Label1 = Make_Label(QStringLiteral("Label1"), QStringLiteral("Software Tavorix "), Text_X, 8, 265, 24);
    QFont Heading = Label1->font();
    Heading.setPointSize(Heading.pointSize() + 4);
    Heading.setBold(true);
    Label1->setFont(Heading);
    Label2 = Make_Label(QStringLiteral("Label2"), QString(), Text_X, 34, About_Width - Text_X - 6, 18);
    Make_Label(QStringLiteral("Label6"), QStringLiteral("Software Code : "), Text_X, 58, 120, 18);
    Label9 = Make_Label(QStringLiteral("Label9"), QString(), Value_X, 58, 145, 18);
    Make_Label(QStringLiteral("Label3"), QStringLiteral("Version :"), Text_X, 76, 120, 18);
    Label10 = Make_Label(QStringLiteral("Label10"), QString(), Value_X, 76, 145, 18);
    Make_Label(QStringLiteral("Label8"), QStringLiteral("Document Code :"), Text_X, 94, 120, 18);
    Label12 = Make_Label(QStringLiteral("Label12"), QString(), Value_X, 94, 145, 18);

    Label4 = Make_Label(QStringLiteral("Label4"), QString(), 10, 80, 135, 18);
    Label4->setTextFormat(Qt::RichText);
    Label4->setText(QStringLiteral("<a href=\"home\">%1</a>").arg(Identity::Maker_Host));
    Label4->setCursor(Qt::PointingHandCursor);
    Label4->setAccessibleName(Identity::Maker_Host);
    connect(Label4, &QLabel::linkActivated, this, [this] { Label4Click(); });

    LbButton1 = new QPushButton(QStringLiteral("OK"), this);
    LbButton1->setObjectName(QStringLiteral("LbButton1"));
    LbButton1->setAccessibleName(QStringLiteral("OK"));
    LbButton1->setGeometry(About_Width - 10 - 90, About_Height - 10 - 26, 90, 26);
    connect(LbButton1, &QPushButton::clicked, this, &QDialog::accept);
    Set_Lang();
}

void TFAbout::Set_Lang() { setWindowTitle(Space.Str(About_Text::Title)); }

QLabel* TFAbout::Make_Label(const QString& Name, const QString& Text, int X, int Y, int W, int H)
{
    auto* Label = new QLabel(Text, this);
    Label->setObjectName(Name);
    Label->setGeometry(X, Y, W, H);
    return Label;
}

void TFAbout::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    FormShow();
}

void TFAbout::FormShow()
{
    Label2->setText(Space.SW_Description);
    Label9->setText(Identity::SW_Code);
    Label10->setText(Identity::SW_Version);
    Label12->setText(Identity::Document_Code);
    setFixedSize(About_Width, About_Height);
}

bool TFAbout::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == Image2 && Event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton) {
        Label4Click();
        return true;
    }
    return QDialog::eventFilter(Watched, Event);
}

void TFAbout::Label4Click()
{
    if (Desktop)
        Desktop->Open_Url(Home_Page_Url());
}

#include "dcp/TFFind_Gateways.h"

#include "dcp/Dcp_Client.h"
#include "dcp/Dcp_Texts.h"
#include "dcp/Device_List.h"
#include "foundation/Station_Name.h"
#include "foundation/Workspace.h"
#include "platform/Prompter.h"
#include "platform/Raw_Ethernet.h"
#include "platform/Xml_File.h"
#include "project/Par_Gen_File.h"
#include "widgets/Ui_Build.h"

#include <QApplication>
#include <QMetaObject>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Device_Column { Device_Name, Device_Ip, Device_Mask, Device_Gateway, Device_Mac, Device_Vendor, Device_Ids, Device_Role, Device_Column_Count };
constexpr int Device_Column_Slot[Device_Column_Count] = {Dcp_Text::Column_Name,    Dcp_Text::Column_Ip,  Dcp_Text::Column_Mask,
                                           Dcp_Text::Column_Gateway, Dcp_Text::Column_Mac, Dcp_Text::Column_Vendor,
                                           Dcp_Text::Column_Ids,     Dcp_Text::Column_Role};
constexpr int Index_Role = Qt::UserRole + 1;

// Every column as wide as its heading and contents; the last one keeps
// stretching to the table's edge.
void Fit_Columns(QTableWidget* Table)
{
    for (int Column = 0; Column + 1 < Table->columnCount(); ++Column)
        Table->resizeColumnToContents(Column);
}

using Part = TFFind_Gateways::Status_Part;
using Argument = TFFind_Gateways::Status_Argument;

Argument Text_Argument(const QString& Text) { return {Text, -1}; }
Argument Number_Argument(qsizetype Number) { return {QString::number(Number), -1}; }
Argument Block_Error_Argument(quint8 Error)
{
    const Dcp::Block_Error_Words Words = Dcp::Block_Error_Words_Of(Error);
    return {Words.Argument, Words.Slot};
}

// Every argument put in at once, so that a "%1" inside one is never replaced again.
QString Filled(const QString& Text, const QStringList& A)
{
    switch (A.size()) {
    case 0: return Text;
    case 1: return Text.arg(A[0]);
    case 2: return Text.arg(A[0], A[1]);
    case 3: return Text.arg(A[0], A[1], A[2]);
    case 4: return Text.arg(A[0], A[1], A[2], A[3]);
    default: return Text.arg(A[0], A[1], A[2], A[3], A[4]);
    }
}

// A device as a question names it: its MAC and, when it has one, its station name.
QString Device_Label(const Dcp::Device_Record& D)
{
    const QString Mac = Dcp::Mac_Text(D.Mac);
    return D.Name && !D.Name->isEmpty() ? QStringLiteral("%1 (\"%2\")").arg(Mac, Dcp::Printable(*D.Name)) : Mac;
}

QString Device_Labels(const QList<const Dcp::Device_Record*>& Devices)
{
    QStringList Labels;
    for (const Dcp::Device_Record* D : Devices)
        Labels.append(Device_Label(*D));
    return Labels.join(QStringLiteral(", "));
}

// The address the configuration's four fields make, when they make one.
std::optional<Ipv4_Address> Configured(const Par_Gen::Stored& File, int First)
{
    QStringList Parts;
    for (int I = 0; I < 4; ++I)
        Parts.append(File.Text(First + I, Par_Gen::Reader::Editor));
    return Ipv4_From_Parts(Parts);
}

} // namespace

TFFind_Gateways::TFFind_Gateways(Workspace& Space_, Platform_Services Services_, QWidget* Parent)
    : QDialog(Parent), Space(Space_), Services(Services_)
{
    setObjectName(QStringLiteral("TFFind_Gateways"));
    Lay_Out();
    Set_Lang();
}

void TFFind_Gateways::Lay_Out()
{
    resize(860, 520);
    auto* Page = new QVBoxLayout(this);
    auto* Search_Row = new QHBoxLayout;
    L_Interface = Make_Control<QLabel>(this, QStringLiteral("L_Interface"));
    CB_Interface = Make_Control<QComboBox>(this, QStringLiteral("CB_Interface"));
    // The row gives the list its width: the interfaces found (which come and go
    // on the machine) never move the controls beside it.
    CB_Interface->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    CB_Interface->setMinimumContentsLength(24);
    L_Interface->setBuddy(CB_Interface);
    Btn_Search = Make_Control<QPushButton>(this, QStringLiteral("Btn_Search"));
    Btn_Cancel = Make_Control<QPushButton>(this, QStringLiteral("Btn_Cancel"));
    Btn_Cancel->setEnabled(false);
    PB_Search = Make_Control<QProgressBar>(this, QStringLiteral("PB_Search"));
    PB_Search->setRange(0, 100);
    PB_Search->setValue(0);
    Search_Row->addWidget(L_Interface);
    Search_Row->addWidget(CB_Interface, 1);
    Search_Row->addWidget(Btn_Search);
    Search_Row->addWidget(Btn_Cancel);
    Search_Row->addWidget(PB_Search);
    Page->addLayout(Search_Row);

    TW_Devices = Make_Control<QTableWidget>(this, QStringLiteral("TW_Devices"));
    TW_Devices->setColumnCount(Device_Column_Count);
    TW_Devices->setSelectionBehavior(QAbstractItemView::SelectRows);
    TW_Devices->setSelectionMode(QAbstractItemView::SingleSelection);
    TW_Devices->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TW_Devices->verticalHeader()->hide();
    TW_Devices->horizontalHeader()->setStretchLastSection(true);
    Page->addWidget(TW_Devices, 1);

    L_Status = Make_Control<QLabel>(this, QStringLiteral("L_Status"));
    L_Status->setWordWrap(true);
    L_Status->setTextFormat(Qt::PlainText);
    L_Status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Page->addWidget(L_Status);

    auto* Actions = new QGridLayout;
    L_Name = Make_Control<QLabel>(this, QStringLiteral("L_Name"));
    E_Name = Make_Control<QLineEdit>(this, QStringLiteral("E_Name"));
    E_Name->setMaxLength(240);
    L_Name->setBuddy(E_Name);
    Btn_Set_Name = Make_Control<QPushButton>(this, QStringLiteral("Btn_Set_Name"));
    Actions->addWidget(L_Name, 0, 0);
    Actions->addWidget(E_Name, 0, 1, 1, 3);
    Actions->addWidget(Btn_Set_Name, 0, 5);
    L_Ip = Make_Control<QLabel>(this, QStringLiteral("L_Ip"));
    E_Address = Make_Control<QLineEdit>(this, QStringLiteral("E_Address"));
    E_Mask = Make_Control<QLineEdit>(this, QStringLiteral("E_Mask"));
    E_Gateway = Make_Control<QLineEdit>(this, QStringLiteral("E_Gateway"));
    for (QLineEdit* Edit : {E_Address, E_Mask, E_Gateway})
        Edit->setMaxLength(15);
    L_Ip->setBuddy(E_Address);
    CB_Permanent = Make_Control<QCheckBox>(this, QStringLiteral("CB_Permanent"));
    CB_Permanent->setChecked(true);
    Btn_Set_Ip = Make_Control<QPushButton>(this, QStringLiteral("Btn_Set_Ip"));
    Actions->addWidget(L_Ip, 1, 0);
    Actions->addWidget(E_Address, 1, 1);
    Actions->addWidget(E_Mask, 1, 2);
    Actions->addWidget(E_Gateway, 1, 3);
    Actions->addWidget(CB_Permanent, 1, 4);
    Actions->addWidget(Btn_Set_Ip, 1, 5);
    Page->addLayout(Actions);

    auto* Buttons = new QHBoxLayout;
    Btn_Flash = Make_Control<QPushButton>(this, QStringLiteral("Btn_Flash"));
    Btn_Use_Address = Make_Control<QPushButton>(this, QStringLiteral("Btn_Use_Address"));
    Btn_Close = Make_Control<QPushButton>(this, QStringLiteral("Btn_Close"));
    Buttons->addWidget(Btn_Flash);
    Buttons->addStretch(1);
    Buttons->addWidget(Btn_Use_Address);
    Buttons->addWidget(Btn_Close);
    Page->addLayout(Buttons);
    for (QPushButton* Button : {Btn_Search, Btn_Cancel, Btn_Set_Name, Btn_Set_Ip, Btn_Flash, Btn_Use_Address, Btn_Close})
        Button->setAutoDefault(false);
    Btn_Use_Address->hide();

    connect(Btn_Search, &QPushButton::clicked, this, &TFFind_Gateways::Search);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TFFind_Gateways::Cancel);
    connect(Btn_Flash, &QPushButton::clicked, this, &TFFind_Gateways::Flash);
    connect(Btn_Set_Name, &QPushButton::clicked, this, &TFFind_Gateways::Set_Name);
    connect(Btn_Set_Ip, &QPushButton::clicked, this, &TFFind_Gateways::Set_Ip);
    connect(Btn_Use_Address, &QPushButton::clicked, this, &TFFind_Gateways::Use_Address);
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(TW_Devices, &QTableWidget::itemSelectionChanged, this, &TFFind_Gateways::Selection_Changed);
    Selection_Changed();
}

void TFFind_Gateways::Set_Lang()
{
    setWindowTitle(Space.Str(Dcp_Text::Title));
    L_Interface->setText(Space.Str(Dcp_Text::Interface_Label));
    Btn_Search->setText(Space.Str(Dcp_Text::Search_Button));
    Btn_Cancel->setText(Space.Str(Dcp_Text::Cancel_Button));
    QStringList Headers;
    for (int Slot : Device_Column_Slot)
        Headers.append(Space.Str(Slot));
    TW_Devices->setHorizontalHeaderLabels(Headers);
    // Each heading whole, before a search fills the columns (which then
    // take the width of their contents).
    Fit_Columns(TW_Devices);
    TW_Devices->setAccessibleName(Space.Str(Dcp_Text::Table_Name));
    L_Status->setAccessibleName(Space.Str(Dcp_Text::Status_Name));
    L_Name->setText(Space.Str(Dcp_Text::Column_Name));
    L_Ip->setText(QStringLiteral("%1 / %2 / %3")
                      .arg(Space.Str(Dcp_Text::Column_Ip), Space.Str(Dcp_Text::Column_Mask),
                           Space.Str(Dcp_Text::Column_Gateway)));
    E_Address->setAccessibleName(Space.Str(Dcp_Text::Column_Ip));
    E_Mask->setAccessibleName(Space.Str(Dcp_Text::Column_Mask));
    E_Gateway->setAccessibleName(Space.Str(Dcp_Text::Column_Gateway));
    CB_Permanent->setText(Space.Str(Dcp_Text::Permanent_Box));
    Btn_Set_Name->setText(Space.Str(Dcp_Text::Set_Name_Button));
    Btn_Set_Ip->setText(Space.Str(Dcp_Text::Set_Ip_Button));
    Btn_Flash->setText(Space.Str(Dcp_Text::Flash_Button));
    Btn_Use_Address->setText(Space.Str(Dcp_Text::Use_Address_Button));
    Btn_Close->setText(Space.Str(Dcp_Text::Close_Button));
    if (!Found.isEmpty())
        Fill_Table();
    Render_Status();
}

void TFFind_Gateways::Show_Status(QList<Status_Part> Parts)
{
    Status = std::move(Parts);
    Render_Status();
}

void TFFind_Gateways::Render_Status()
{
    QStringList Lines;
    for (const Status_Part& P : Status) {
        QStringList Arguments;
        for (const Status_Argument& A : P.Arguments)
            Arguments.append(A.Slot < 0 ? A.Text : A.Text.isEmpty() ? Space.Str(A.Slot) : Space.Str(A.Slot).arg(A.Text));
        Lines.append(Filled(Space.Str(P.Slot), Arguments));
    }
    L_Status->setText(Lines.join(QLatin1Char('\n')));
}

int TFFind_Gateways::Execute()
{
    Btn_Use_Address->hide();
    return exec();
}

std::optional<Ipv4_Address> TFFind_Gateways::Choose_Address()
{
    Chosen.reset();
    Btn_Use_Address->show();
    const int Result = exec();
    Btn_Use_Address->hide();
    return Result == QDialog::Accepted ? Chosen : std::nullopt;
}

void TFFind_Gateways::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    Set_Lang();
    Fill_Interfaces();
    Prefill_From_Configuration();
}

void TFFind_Gateways::Fill_Interfaces()
{
    CB_Interface->clear();
    if (!Services.Ethernet)
        return;
    const auto All = Services.Ethernet->Interfaces();
    if (!All) {
        Show_Status({{Dcp_Text::Interface_Unusable, {Text_Argument(All.error().Text)}}});
        return;
    }
    for (const Ethernet_Interface& I : *All) {
        QStringList Addresses;
        for (const quint32 A : I.Ipv4_Addresses)
            Addresses.append(Ipv4_Address::From_Value(A).Text());
        QString Text = I.Name;
        if (!I.Description.isEmpty())
            Text += QStringLiteral(" - ") + I.Description;
        Text += QStringLiteral(" (%1%2)").arg(Dcp::Mac_Text(I.Mac),
                                             Addresses.isEmpty() ? QString() : QStringLiteral(", ") + Addresses.join(QStringLiteral(", ")));
        CB_Interface->addItem(Text, I.Name);
    }
    if (All->isEmpty())
        Show_Status({{Dcp_Text::No_Interface, {}}});
    const int Last = CB_Interface->findData(Space.Last_Interface);
    if (Last >= 0)
        CB_Interface->setCurrentIndex(Last);
}

void TFFind_Gateways::Prefill_From_Configuration()
{
    E_Name->clear();
    E_Address->clear();
    E_Mask->clear();
    E_Gateway->clear();
    CB_Permanent->setChecked(true);
    if (!Space.Is_Project_Active())
        return;
    try {
        const Par_Gen::Stored File = Par_Gen::Stored::Read(Space.File_ParGen);
        E_Name->setText(File.Text(Par_Gen::PROFINET_NAME_STA, Par_Gen::Reader::Editor));
        const auto Address = Configured(File, Par_Gen::PROFINET_IP1);
        const auto Mask = Configured(File, Par_Gen::PROFINET_SM1);
        const auto Gateway = Configured(File, Par_Gen::PROFINET_GAT1);
        E_Address->setText(Address ? Address->Text() : QString());
        E_Mask->setText(Mask ? Mask->Text() : QString());
        E_Gateway->setText(Gateway ? Gateway->Text() : QString());
    } catch (const Xml_Parse_Error&) {
        // A malformed file prefills nothing; its editor says what is wrong with it.
    }
}

std::unique_ptr<Raw_Ethernet_Port> TFFind_Gateways::Open_Port()
{
    const QString Name = CB_Interface->currentData().toString();
    if (!Services.Ethernet || Name.isEmpty()) {
        Show_Status({{Dcp_Text::No_Interface, {}}});
        return nullptr;
    }
    auto Port = Services.Ethernet->Open(Name);
    if (!Port) {
        Show_Status({{Dcp_Text::Interface_Unusable, {Text_Argument(Port.error().Text)}}});
        Services.Prompts->Error(L_Status->text());
        return nullptr;
    }
    return std::move(*Port);
}

void TFFind_Gateways::Search()
{
    if (Busy())
        return;
    Found.clear();
    Fill_Table();
    Show_Status({});
    auto Port = Open_Port();
    if (!Port)
        return;
    Searched_Interface = CB_Interface->currentData().toString();
    Space.Last_Interface = Searched_Interface;
    Show_Status({{Dcp_Text::Searching, {Text_Argument(Searched_Interface)}}});
    PB_Search->setValue(0);
    struct Outcome {
        std::expected<Dcp::Search_Result, QString> Result;
        bool Cancelled = false;
    };
    Worker.Start(
        [this, Port = std::shared_ptr<Raw_Ethernet_Port>(std::move(Port)), Window = Search_Window](std::stop_token Stop) {
            Dcp::Client Client(*Port);
            Client.Stop = Stop;
            // The bar moves on the window's thread; what is queued after the window is gone is dropped.
            auto Result = Client.Search(Window, [this](double Part) {
                QMetaObject::invokeMethod(
                    this, [this, Value = static_cast<int>(Part * 100)] { PB_Search->setValue(Value); }, Qt::QueuedConnection);
                return true;
            });
            return Outcome{std::move(Result), Stop.stop_requested()};
        },
        [this](Outcome Out) {
            Set_Busy(false);
            PB_Search->setValue(100);
            if (!Out.Result) {
                Show_Status({{Dcp_Text::Interface_Unusable, {Text_Argument(Out.Result.error())}}});
                return;
            }
            Found = std::move(Out.Result->Devices);
            Dcp::Sort_Devices(Found);
            Fill_Table();
            const auto Gateways = std::count_if(Found.begin(), Found.end(), [](const auto& D) { return D.Is_Gateway(); });
            const auto Conflicts = std::count_if(Found.begin(), Found.end(), [](const auto& D) { return D.Ip_Conflict(); });
            QList<Status_Part> Parts{{Dcp_Text::Search_Result,
                                      {Number_Argument(Found.size()), Text_Argument(Searched_Interface), Number_Argument(Gateways)}}};
            if (Out.Cancelled)
                Parts.prepend({Dcp_Text::Search_Cancelled, {}});
            if (Conflicts > 0)
                Parts.append({Dcp_Text::Answers_Conflict, {Number_Argument(Conflicts)}});
            // What the search passed over is said, never dropped in silence.
            if (Out.Result->Dropped > 0)
                Parts.append({Dcp_Text::Answers_Dropped, {Number_Argument(Out.Result->Dropped), Number_Argument(Dcp::Max_Devices)}});
            if (Out.Result->Malformed > 0)
                Parts.append({Dcp_Text::Answers_Malformed, {Number_Argument(Out.Result->Malformed)}});
            Show_Status(Parts);
        });
    Set_Busy(true);
}

void TFFind_Gateways::Cancel()
{
    Worker.Cancel();
}

void TFFind_Gateways::reject()
{
    Worker.Cancel();
    QDialog::reject();
}

// While an exchange runs (the worker busy), only Cancel and Close act.
void TFFind_Gateways::Set_Busy(bool On)
{
    Btn_Cancel->setEnabled(On);
    Btn_Search->setEnabled(!On);
    CB_Interface->setEnabled(!On);
    if (On)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
    Selection_Changed();
}

void TFFind_Gateways::Fill_Table()
{
    const Dcp::Duplicates Shared = Dcp::Find_Duplicates(Found);
    TW_Devices->setSortingEnabled(false);
    TW_Devices->clearContents();
    TW_Devices->setRowCount(static_cast<int>(Found.size()));
    for (int Row = 0; Row < Found.size(); ++Row) {
        const Dcp::Device_Record& D = Found[Row];
        const auto Hex4 = [](std::optional<quint16> V) {
            return V ? QStringLiteral("0x%1").arg(*V, 4, 16, QLatin1Char('0')) : QString();
        };
        // The device's own texts with their control characters shown, never obeyed.
        const QString Texts[Device_Column_Count] = {
            Dcp::Printable(D.Name.value_or(QString())),
            D.Ip ? D.Ip->Address.Text() : QString(),
            D.Ip ? D.Ip->Mask.Text() : QString(),
            D.Ip ? D.Ip->Gateway.Text() : QString(),
            Dcp::Mac_Text(D.Mac),
            Dcp::Printable(D.Vendor.value_or(QString())),
            D.Vendor_Id ? QStringLiteral("%1 / %2").arg(Hex4(D.Vendor_Id), Hex4(D.Device_Id)) : QString(),
            D.Role ? Dcp::Role_Text(*D.Role) : QString(),
        };
        for (int Col = 0; Col < Device_Column_Count; ++Col) {
            auto* Item = new QTableWidgetItem(Texts[Col]);
            Item->setData(Index_Role, Row);
            QFont Font = Item->font();
            Font.setBold(D.Is_Gateway());
            Item->setFont(Font);
            if (!D.Is_Gateway())
                Item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            Item->setToolTip(Space.Str(D.Is_Gateway() ? Dcp_Text::Gateway_Hint : Dcp_Text::Other_Device_Hint));
            QStringList Reasons;
            if (Col == Device_Name && Shared.Name_Shared(D))
                Reasons.append(Space.Str(Dcp_Text::Name_Shared));
            if (Col == Device_Ip && Shared.Address_Shared(D))
                Reasons.append(Space.Str(Dcp_Text::Ip_Shared));
            // The device's own word that another station holds its address.
            if (Col == Device_Ip && D.Ip_Conflict())
                Reasons.append(Space.Str(Dcp_Text::Ip_Conflict));
            if (!Reasons.isEmpty()) {
                // Marked by more than a colour: a warning sign beside the
                // value, and the reason as its tooltip and spoken text.
                const QString Why = Reasons.join(QStringLiteral("; "));
                Item->setBackground(QColor(255, 200, 200));
                Item->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
                Item->setToolTip(Why);
                Item->setData(Qt::AccessibleTextRole, QStringLiteral("%1: %2").arg(Texts[Col], Why));
                Item->setData(Qt::AccessibleDescriptionRole, Why);
            }
            TW_Devices->setItem(Row, Col, Item);
        }
    }
    Fit_Columns(TW_Devices);
    // Sortable by a click on a header; filled in the order above.
    TW_Devices->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    TW_Devices->setSortingEnabled(true);
    Selection_Changed();
}

const Dcp::Device_Record* TFFind_Gateways::Selected() const
{
    const QList<QTableWidgetItem*> Items = TW_Devices->selectedItems();
    if (Items.isEmpty())
        return nullptr;
    const int Index = Items.first()->data(Index_Role).toInt();
    return Index >= 0 && Index < Found.size() ? &Found[Index] : nullptr;
}

void TFFind_Gateways::Selection_Changed()
{
    // Other makers' devices are shown, never changed from here.
    const Dcp::Device_Record* D = Selected();
    const bool Gateway = D && D->Is_Gateway() && !Busy();
    for (QPushButton* Button : {Btn_Flash, Btn_Set_Name, Btn_Set_Ip})
        Button->setEnabled(Gateway);
    Btn_Use_Address->setEnabled(Gateway && D->Ip && D->Ip->Address.Value() != 0);
}

QList<const Dcp::Device_Record*> TFFind_Gateways::Holders_Of_Name(const QString& Name, const Dcp::Mac_Address& Except) const
{
    QList<const Dcp::Device_Record*> Holders;
    for (const Dcp::Device_Record& D : Found)
        if (D.Mac != Except && D.Name && !Name.isEmpty() && *D.Name == Name)
            Holders.append(&D);
    return Holders;
}

QList<const Dcp::Device_Record*> TFFind_Gateways::Holders_Of_Address(quint32 Address, const Dcp::Mac_Address& Except) const
{
    QList<const Dcp::Device_Record*> Holders;
    for (const Dcp::Device_Record& D : Found)
        if (D.Mac != Except && D.Ip && Address != 0 && D.Ip->Address.Value() == Address)
            Holders.append(&D);
    return Holders;
}

namespace {

// A change as it came back from the worker: the device's answer and, when it
// answered, what it holds now.
struct Change_Outcome {
    std::expected<Dcp::Set_Response, Dcp::Set_Failure> Answer;
    std::optional<std::expected<std::optional<Dcp::Device_Record>, QString>> Now;
    bool Cancelled = false; // the stop came while the device was asked again
};

} // namespace

template <class Question_For, class Request> void TFFind_Gateways::Change(Question_For&& Question, Request Do)
{
    const Dcp::Device_Record* D = Selected();
    if (!D || !D->Is_Gateway() || Busy())
        return;
    const Dcp::Mac_Address Mac = D->Mac;
    const QString Mac_Text = Dcp::Mac_Text(Mac);
    if (!Services.Prompts->Confirm_Default_No(Question(*D)))
        return;
    auto Port = Open_Port();
    if (!Port)
        return;
    Show_Status({{Dcp_Text::Waiting, {Text_Argument(Mac_Text)}}});
    Worker.Start(
        [Port = std::shared_ptr<Raw_Ethernet_Port>(std::move(Port)), Do = std::move(Do), Mac, Wait = Set_Wait,
         Refresh = Refresh_Window](std::stop_token Stop) {
            Dcp::Client Client(*Port);
            Client.Set_Wait = Wait;
            Client.Stop = Stop;
            Change_Outcome Out{Do(Client, Mac), std::nullopt};
            // What the device holds now, asked of the device itself.
            if (Out.Answer) {
                Out.Now = Client.Identify_One(Mac, Refresh);
                Out.Cancelled = Stop.stop_requested();
            }
            return Out;
        },
        [this, Mac, Mac_Text](Change_Outcome Out) {
            Set_Busy(false);
            const auto Mac_Argument = Text_Argument(Mac_Text);
            if (!Out.Answer) {
                const Dcp::Set_Failure& Failure = Out.Answer.error();
                switch (Failure.What) {
                case Dcp::Set_Failure::No_Answer: Show_Status({{Dcp_Text::No_Answer, {Mac_Argument}}}); break;
                case Dcp::Set_Failure::Not_Sent:
                    Show_Status({{Dcp_Text::Not_Sent, {Mac_Argument, Text_Argument(Failure.Text)}}});
                    break;
                case Dcp::Set_Failure::Cancelled: Show_Status({{Dcp_Text::Change_Cancelled, {Mac_Argument}}}); break;
                default: Show_Status({{Dcp_Text::No_Valid_Answer, {Mac_Argument, Text_Argument(Failure.Text)}}}); break;
                }
                // A cancel is the user's own doing: said in the status line, not in a box.
                if (Failure.What != Dcp::Set_Failure::Cancelled)
                    Services.Prompts->Error(L_Status->text());
                return;
            }
            QList<Status_Part> Parts;
            const quint8 Error = Out.Answer->First_Error();
            if (Error != 0)
                Parts.append({Dcp_Text::Device_Refused, {Mac_Argument, Block_Error_Argument(Error)}});
            else
                Parts.append({Dcp_Text::Device_Done, {Mac_Argument}});
            const auto& Now = *Out.Now;
            if (Now && *Now) {
                for (Dcp::Device_Record& Row : Found)
                    if (Row.Mac == Mac)
                        Row = **Now;
                Fill_Table();
                for (int Row = 0; Row < TW_Devices->rowCount(); ++Row)
                    if (TW_Devices->item(Row, Device_Mac)->text() == Mac_Text)
                        TW_Devices->selectRow(Row);
            } else if (!Now) {
                Parts.append({Dcp_Text::Refresh_Failed, {Mac_Argument, Text_Argument(Now.error())}});
            } else {
                Parts.append({Out.Cancelled ? Dcp_Text::Refresh_Cancelled : Dcp_Text::Refresh_No_Answer, {Mac_Argument}});
            }
            Show_Status(Parts);
            if (Out.Cancelled)
                return; // the user's own doing: said in the status line, not in a box
            if (Error != 0 || !Now || !*Now)
                Services.Prompts->Error(L_Status->text());
            else
                Services.Prompts->Information(L_Status->text());
        });
    Set_Busy(true);
}

void TFFind_Gateways::Flash()
{
    Change([this](const Dcp::Device_Record& D) { return Space.Str(Dcp_Text::Flash_Question).arg(Dcp::Mac_Text(D.Mac)); },
           [](Dcp::Client& Client, const Dcp::Mac_Address& Mac) { return Client.Signal(Mac); });
}

void TFFind_Gateways::Set_Name()
{
    const QString Name = E_Name->text();
    // Checked here, once: the device is given what was checked.
    const auto Checked = Station_Name::Checked(Name);
    if (!Checked) {
        Services.Prompts->Error(
            Space.Str(Dcp_Text::Station_Name_Not_Valid).arg(Name, Space.Str(Station_Name_Rule_Slot(Checked.error()))));
        E_Name->setFocus(Qt::OtherFocusReason);
        return;
    }
    const bool Permanent = CB_Permanent->isChecked();
    // A name another device holds already is asked about, naming that device.
    const auto Question = [&](const Dcp::Device_Record& D) {
        const QString Mac = Dcp::Mac_Text(D.Mac);
        const auto Holders = Holders_Of_Name(Name, D.Mac);
        if (!Holders.isEmpty())
            return Space.Str(Dcp_Text::Name_Held_Question).arg(Device_Labels(Holders), Name, Mac);
        return Space.Str(Dcp_Text::Set_Name_Question).arg(Mac, Name);
    };
    Change(Question, [Name = *Checked, Permanent](Dcp::Client& Client, const Dcp::Mac_Address& Mac) {
        return Client.Set_Name(Mac, Name, Permanent);
    });
}

void TFFind_Gateways::Set_Ip()
{
    const auto Address = Parse_Ipv4(E_Address->text().trimmed());
    const auto Mask = Parse_Ipv4(E_Mask->text().trimmed());
    const auto Gateway = Parse_Ipv4(E_Gateway->text().trimmed());
    // Checked here, once: the device is given what was checked. A mask
    // that is none makes the three no IP parameter at all.
    std::expected<Device_Ip_Parameter, Ip_Suite_Rule> Checked = std::unexpected(Ip_Suite_Rule::Mask_Not_Contiguous);
    if (Address && Mask && Gateway)
        Checked = Device_Ip_Parameter::Checked(*Address, *Mask, *Gateway);
    if (!Checked && Checked.error() == Ip_Suite_Rule::Mask_Not_Contiguous) {
        Services.Prompts->Error(Space.Str(Dcp_Text::Ip_Suite_Not_Valid));
        return;
    }
    if (!Checked) {
        Services.Prompts->Error(Space.Str(Dcp_Text::Ip_Suite_Refused).arg(Space.Str(Ip_Suite_Rule_Slot(Checked.error()))));
        E_Address->setFocus(Qt::OtherFocusReason);
        return;
    }
    const bool Permanent = CB_Permanent->isChecked();
    // An address another device holds already is asked about, naming that device.
    const auto Question = [&](const Dcp::Device_Record& D) {
        const QString Mac = Dcp::Mac_Text(D.Mac);
        const auto Holders = Holders_Of_Address(Address->Value(), D.Mac);
        if (!Holders.isEmpty())
            return Space.Str(Dcp_Text::Ip_Held_Question)
                .arg(Device_Labels(Holders), Address->Text(), Mac, Mask->Text(), Gateway->Text());
        return Space.Str(Dcp_Text::Set_Ip_Question).arg(Mac, Address->Text(), Mask->Text(), Gateway->Text());
    };
    Change(Question, [Ip = *Checked, Permanent](Dcp::Client& Client, const Dcp::Mac_Address& Mac) {
        return Client.Set_Ip(Mac, Ip, Permanent);
    });
}

void TFFind_Gateways::Use_Address()
{
    const Dcp::Device_Record* D = Selected();
    if (!D || !D->Is_Gateway() || !D->Ip)
        return;
    // An address more than one device holds reaches whichever answers first: asked about.
    const auto Holders = Holders_Of_Address(D->Ip->Address.Value(), D->Mac);
    if (!Holders.isEmpty() &&
        !Services.Prompts->Confirm_Default_No(Space.Str(Dcp_Text::Use_Shared_Address_Question)
                                                  .arg(D->Ip->Address.Text(), Device_Labels(Holders))))
        return;
    Chosen = D->Ip->Address;
    accept();
}

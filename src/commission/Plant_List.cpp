#include "commission/Plant_List.h"

#include "checks/Project_Checks.h"
#include "foundation/Station_Name.h"
#include "foundation/Workspace.h"
#include "image/Image_Model.h"
#include "platform/File_Read.h"
#include "project/Par_Gen_File.h"
#include "platform/Xml_File.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <csv.h>

namespace Commission {

namespace {

const QByteArray Bom("\xEF\xBB\xBF");

int No_Space(unsigned char) { return 0; }

struct Csv_Record {
    int Line = 0;
    QStringList Fields;
};

struct Csv_Reader {
    QList<Csv_Record> Records;
    Csv_Record Current;
    int Line = 1;
    bool In_Record = false;
};

void On_Field(void* Data, size_t Size, void* Out)
{
    auto* R = static_cast<Csv_Reader*>(Out);
    R->Current.Fields.append(QString::fromUtf8(static_cast<const char*>(Data), static_cast<qsizetype>(Size)));
}

void On_Record(int, void* Out)
{
    auto* R = static_cast<Csv_Reader*>(Out);
    R->Records.append(std::move(R->Current));
    R->Current = {};
    R->In_Record = false;
}

// The separator the header line uses: the one of ',' and ';' it holds more of.
unsigned char Separator_Of(const QByteArray& Header)
{
    return Header.count(';') > Header.count(',') ? ';' : ',';
}

std::optional<QString> Split_Records(const QByteArray& Bytes, Csv_Reader& Read)
{
    qsizetype Header_End = 0;
    while (Header_End < Bytes.size() && Bytes[Header_End] != '\n' && Bytes[Header_End] != '\r')
        ++Header_End;
    csv_parser State{};
    csv_init(&State, CSV_STRICT | CSV_STRICT_FINI);
    csv_set_delim(&State, Separator_Of(Bytes.first(Header_End)));
    csv_set_space_func(&State, No_Space);
    std::optional<QString> Failure;
    for (qsizetype At = 0; At < Bytes.size(); ++At) {
        const char C = Bytes[At];
        if (!Read.In_Record && C != '\r' && C != '\n') {
            Read.In_Record = true;
            Read.Current.Line = Read.Line;
        }
        // One byte at a time, so that each record is known by the line it starts on.
        if (csv_parse(&State, &C, 1, On_Field, On_Record, &Read) != 1) {
            Failure = QStringLiteral("a quote is not closed or a quoted field goes on after its quote");
            break;
        }
        if (C == '\n' || (C == '\r' && (At + 1 == Bytes.size() || Bytes[At + 1] != '\n')))
            ++Read.Line;
    }
    if (!Failure && csv_fini(&State, On_Field, On_Record, &Read) != 0)
        Failure = QStringLiteral("a quote is not closed");
    csv_free(&State);
    return Failure;
}

bool Blank(const QStringList& Fields)
{
    return std::all_of(Fields.begin(), Fields.end(), [](const QString& F) { return F.trimmed().isEmpty(); });
}

QString Resolve_Configuration(const QString& Text, const QString& List_Dir, const QString& Projects_Dir)
{
    const bool Is_Path = Text.contains(QLatin1Char('/')) || Text.contains(QLatin1Char('\\')) || QDir::isAbsolutePath(Text);
    if (!Is_Path && Workspace::Is_Safe_Project_Name(Text))
        return QDir::cleanPath(Workspace::Join(Projects_Dir, Text));
    return QDir::cleanPath(QDir(List_Dir).absoluteFilePath(Text));
}

struct Row_Reader {
    const QHash<int, int>& Position; // column -> index of the field in the record
    const Csv_Record& Rec;
    QList<List_Problem>& Problems;

    QString Field(int Column) const { return Rec.Fields.value(Position.value(Column)).trimmed(); }
    void Problem(int Column, const QString& Text) const
    {
        Problems.append({Rec.Line, Position.value(Column) + 1, Text});
    }
};

QString Address_Name(int Column)
{
    switch (Column) {
    case Column_Ip: return QStringLiteral("address");
    case Column_Mask: return QStringLiteral("subnet mask");
    default: return QStringLiteral("gateway");
    }
}

} // namespace

const char* Column_Header(int Column)
{
    static const char* const Names[Column_Count] = {"mac", "station_name", "ip", "mask", "gateway", "configuration"};
    return Names[Column];
}

QList<List_Problem> Plant_List::Problems_Of(int Line) const
{
    QList<List_Problem> Found;
    for (const List_Problem& P : Problems)
        if (P.Line == Line)
            Found.append(P);
    return Found;
}

QString Problem_Line(const QString& Path, const List_Problem& Problem)
{
    return QStringLiteral("%1:%2:%3: error: %4")
        .arg(QDir::toNativeSeparators(Path))
        .arg(Problem.Line)
        .arg(Problem.Column)
        .arg(Problem.Text);
}

Plant_List Read_Plant_List(const QByteArray& File, const QString& List_Dir, const QString& Projects_Dir,
                           const Configuration_Lookup& Lookup)
{
    Plant_List List;
    const QByteArray Bytes = File.startsWith(Bom) ? File.sliced(Bom.size()) : File;
    {
        QStringDecoder Decode(QStringDecoder::Utf8);
        const QString Text = Decode(Bytes);
        if (Decode.hasError()) {
            List.Problems.append({1, 0, QStringLiteral("the list is not UTF-8 text")});
            return List;
        }
    }
    Csv_Reader Read;
    if (const auto Failure = Split_Records(Bytes, Read)) {
        List.Problems.append({Read.In_Record ? Read.Current.Line : Read.Line, 0, *Failure});
        return List;
    }
    Read.Records.removeIf([](const Csv_Record& R) { return Blank(R.Fields); });
    if (Read.Records.isEmpty()) {
        List.Problems.append({1, 0, QStringLiteral("the list is empty: a header line is needed")});
        return List;
    }

    const Csv_Record& Header = Read.Records.first();
    QHash<int, int> Position;
    for (int I = 0; I < Header.Fields.size(); ++I)
        for (int C = 0; C < Column_Count; ++C)
            if (Header.Fields[I].trimmed().compare(QLatin1String(Column_Header(C)), Qt::CaseInsensitive) == 0
                && !Position.contains(C))
                Position.insert(C, I);
    for (int C = 0; C < Column_Count; ++C)
        if (!Position.contains(C))
            List.Problems.append({Header.Line, 0, QStringLiteral("the header line names no column \"%1\"").arg(QLatin1String(Column_Header(C)))});
    if (!List.Problems.isEmpty())
        return List;

    QHash<QString, std::expected<Configuration_Facts, QString>> Looked_Up;
    QHash<QByteArray, int> Mac_Lines;
    QHash<QString, int> Name_Lines;
    QHash<quint32, int> Address_Lines;
    for (qsizetype R = 1; R < Read.Records.size(); ++R) {
        const Row_Reader Row{Position, Read.Records[R], List.Problems};
        Plant_Row Out;
        Out.Line = Row.Rec.Line;

        const QString Mac_Text = Row.Field(Column_Mac);
        if (const auto Mac = Dcp::Parse_Mac(Mac_Text)) {
            Out.Mac = *Mac;
            const QByteArray Key(reinterpret_cast<const char*>(Mac->data()), 6);
            if (const int First = Mac_Lines.value(Key))
                Row.Problem(Column_Mac, QStringLiteral("MAC %1 is listed twice (first on line %2)").arg(Dcp::Mac_Text(*Mac)).arg(First));
            else
                Mac_Lines.insert(Key, Out.Line);
        } else {
            Row.Problem(Column_Mac, Mac_Text.isEmpty() ? QStringLiteral("the MAC address is missing")
                                                       : QStringLiteral("\"%1\" is not a MAC address (aa:bb:cc:dd:ee:ff)").arg(Mac_Text));
        }

        // The configuration first: an empty name or address is taken from it.
        Out.Configuration = Row.Field(Column_Configuration);
        std::optional<Configuration_Facts> Facts;
        if (!Out.Configuration.isEmpty()) {
            const QString Dir = Resolve_Configuration(Out.Configuration, List_Dir, Projects_Dir);
            if (!QFileInfo(Dir).isDir()) {
                Row.Problem(Column_Configuration, QStringLiteral("the configuration \"%1\" does not exist (%2)")
                                                      .arg(Out.Configuration, QDir::toNativeSeparators(Dir)));
            } else {
                Out.Configuration_Dir = Dir;
                if (!Looked_Up.contains(Dir))
                    Looked_Up.insert(Dir, Lookup(Dir));
                const auto& Found = Looked_Up[Dir];
                if (!Found)
                    Row.Problem(Column_Configuration, QStringLiteral("the configuration \"%1\" cannot be read: %2").arg(Out.Configuration, Found.error()));
                else if (Found->First_Error)
                    Row.Problem(Column_Configuration, QStringLiteral("the configuration \"%1\" has errors: %2").arg(Out.Configuration, *Found->First_Error));
                else
                    Facts = *Found;
            }
        }

        const QString Name = Row.Field(Column_Name);
        if (Name.isEmpty() && Facts) {
            Out.Station_Name = Facts->Station_Name;
        } else if (Name.isEmpty()) {
            if (Out.Configuration.isEmpty())
                Row.Problem(Column_Name, QStringLiteral("the station name is missing and no configuration gives it"));
        } else {
            Out.Station_Name = Name;
            if (Facts && Facts->Station_Name != Name)
                Row.Problem(Column_Name, QStringLiteral("the station name \"%1\" differs from the configuration's \"%2\"").arg(Name, Facts->Station_Name));
        }
        // The configuration keeps only so many characters of the name; the
        // device would be given a name other than the one set on the wire.
        constexpr qsizetype Kept_Name = Par_Block_Field::Pn_Station_Name_Size - 1;
        if (Facts && Out.Station_Name.size() > Kept_Name)
            Row.Problem(Column_Name, QStringLiteral("the station name \"%1\" is longer than the %2 characters a configuration keeps")
                                         .arg(Out.Station_Name)
                                         .arg(Kept_Name));
        if (!Out.Station_Name.isEmpty()) {
            const auto Checked = ::Station_Name::Checked(Out.Station_Name);
            if (!Checked)
                Row.Problem(Column_Name, QStringLiteral("\"%1\" is not a valid station name: %2").arg(Out.Station_Name, Station_Name_Rule_Text(Checked.error())));
            else if (const int First = Name_Lines.value(Out.Station_Name))
                Row.Problem(Column_Name, QStringLiteral("the station name \"%1\" is listed twice (first on line %2)").arg(Out.Station_Name).arg(First));
            else
                Name_Lines.insert(Out.Station_Name, Out.Line);
            if (Checked)
                Out.Name_Checked = *Checked;
        }

        bool Addresses_Read = true;
        Ipv4_Address* const Parts[] = {&Out.Ip.Address, &Out.Ip.Mask, &Out.Ip.Gateway};
        const Ipv4_Address* const Given[] = {Facts ? &Facts->Ip.Address : nullptr, Facts ? &Facts->Ip.Mask : nullptr,
                                              Facts ? &Facts->Ip.Gateway : nullptr};
        for (int I = 0; I < 3; ++I) {
            const int Column = Column_Ip + I;
            const QString Text = Row.Field(Column);
            if (Text.isEmpty()) {
                if (Given[I]) {
                    *Parts[I] = *Given[I];
                } else {
                    Addresses_Read = false;
                    if (Out.Configuration.isEmpty())
                        Row.Problem(Column, QStringLiteral("the %1 is missing and no configuration gives it").arg(Address_Name(Column)));
                }
                continue;
            }
            const auto Read_Address = Parse_Ipv4(Text);
            if (!Read_Address) {
                Addresses_Read = false;
                Row.Problem(Column, QStringLiteral("the %1 \"%2\" is not an IPv4 address (four numbers 0 to 255)").arg(Address_Name(Column), Text));
                continue;
            }
            *Parts[I] = *Read_Address;
            if (Given[I] && !(*Given[I] == *Read_Address))
                Row.Problem(Column, QStringLiteral("the %1 %2 differs from the configuration's %3")
                                        .arg(Address_Name(Column), Read_Address->Text(), Given[I]->Text()));
        }
        if (Addresses_Read) {
            const quint32 Address = Out.Ip.Address.Value();
            // The rules the set request itself keeps to: a row the list takes is never refused on the wire.
            const auto Checked = Device_Ip_Parameter::Checked(Out.Ip.Address, Out.Ip.Mask, Out.Ip.Gateway);
            const std::optional<Ip_Suite_Rule> Broken = Checked ? std::nullopt : std::optional(Checked.error());
            if (Checked)
                Out.Ip_Checked = *Checked;
            const QString Why = Broken ? Ip_Suite_Rule_Text(*Broken) : QString();
            if (Broken == Ip_Suite_Rule::Mask_Not_Contiguous)
                Row.Problem(Column_Mask, QStringLiteral("%1 is not a subnet mask: %2").arg(Out.Ip.Mask.Text(), Why));
            else if (Broken == Ip_Suite_Rule::Gateway_Outside_Subnet)
                Row.Problem(Column_Gateway, QStringLiteral("the gateway %1 is outside the network of %2 with mask %3")
                                                .arg(Out.Ip.Gateway.Text(), Out.Ip.Address.Text(), Out.Ip.Mask.Text()));
            else if (Broken == Ip_Suite_Rule::Gateway_Not_A_Host)
                Row.Problem(Column_Gateway, QStringLiteral("the gateway %1 is no host in the network of %2 with mask %3: %4")
                                                .arg(Out.Ip.Gateway.Text(), Out.Ip.Address.Text(), Out.Ip.Mask.Text(), Why));
            else if (Broken)
                Row.Problem(Column_Ip, QStringLiteral("%1 is no device address in the network of mask %2: %3")
                                           .arg(Out.Ip.Address.Text(), Out.Ip.Mask.Text(), Why));
            else if (Out.Ip.Gateway == Out.Ip.Address)
                Row.Problem(Column_Gateway, QStringLiteral("the gateway %1 is the device's own address").arg(Out.Ip.Gateway.Text()));
            if (const int First = Address_Lines.value(Address))
                Row.Problem(Column_Ip, QStringLiteral("the address %1 is listed twice (first on line %2)").arg(Out.Ip.Address.Text()).arg(First));
            else
                Address_Lines.insert(Address, Out.Line);
        }
        List.Rows.append(Out);
    }
    if (List.Rows.isEmpty())
        List.Problems.append({Header.Line, 0, QStringLiteral("the list names no gateway")});
    return List;
}

std::expected<Plant_List, QString> Read_Plant_List_File(const QString& Path, const QString& Projects_Dir,
                                                        const Configuration_Lookup& Lookup)
{
    const auto Bytes = Read_Regular_File(Path);
    if (!Bytes)
        return std::unexpected(QDir::toNativeSeparators(Path) + QStringLiteral(": ") + Bytes.error().Text);
    Plant_List List = Read_Plant_List(*Bytes, QFileInfo(Path).absolutePath(), Projects_Dir, Lookup);
    List.Path = QFileInfo(Path).absoluteFilePath();
    return List;
}

Configuration_Lookup Checked_Configurations(const Workspace& Space, Decimal_Separator& Separator)
{
    return [&Space, &Separator](const QString& Dir) -> std::expected<Configuration_Facts, QString> {
        Workspace Config = Space;
        Config.Project_Dir = Dir;
        Config.Project_Name = QFileInfo(Dir).fileName();
        Config.Set_Files();
        Configuration_Facts Facts;
        try {
            const QList<Checks::Finding> Findings = Checks::Check_Configuration(Config, Separator);
            if (const auto First = Checks::First_Error(Findings))
                Facts.First_Error = First->Text;
            // Read as the image compiler reads it: what the device is given.
            const Par_Gen::Stored File = Par_Gen::Stored::Read(Config.File_ParGen);
            constexpr auto R = Par_Gen::Reader::Image;
            Facts.Station_Name = File.Text(Par_Gen::PROFINET_NAME_STA, R).trimmed();
            const auto Address = [&](int First) {
                quint32 Value = 0;
                for (int I = 0; I < 4; ++I)
                    Value = (Value << 8) | static_cast<quint8>(File.Integer(First + I, R));
                return Ipv4_Address::From_Value(Value);
            };
            // Without a gateway DCP says 0.0.0.0.
            Facts.Ip = {Address(Par_Gen::PROFINET_IP1), Address(Par_Gen::PROFINET_SM1),
                        File.Flag(Par_Gen::PROFINET_EN_GAT, R) ? Address(Par_Gen::PROFINET_GAT1) : Ipv4_Address{}};
        } catch (const Xml_Parse_Error& E) {
            return std::unexpected(E.Message());
        } catch (const std::runtime_error& E) {
            return std::unexpected(QString::fromStdString(E.what()));
        }
        return Facts;
    };
}

} // namespace Commission

#include "checks/Project_Checks.h"

#include "checks/Check_Texts.h"
#include "checks/Par_Gen_Checks.h"
#include "checks/Variable_Placement.h"
#include "foundation/Station_Name.h"
#include "foundation/Text_Rules.h"
#include "foundation/Workspace.h"
#include "image/Configuration_Image.h"
#include "image/Image_Texts.h"
#include "platform/Decimal_Separator.h"
#include "platform/Xml_File.h"
#include "project/Known_Cert_File.h"
#include "project/Variables_File.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <new>

namespace Checks {

namespace {

namespace Slot = Text_Slot;

QString Error_Row_Text(int Row, const QString& Text, const Lang_Table& Lang)
{
    return Lang[Slot::Error_Row] + QString::number(Row) + QStringLiteral("!! ") + Text;
}

int Element_Of(Certificates::Place Where)
{
    switch (Where) {
    case Certificates::Place::Key: return Par_Gen::TLS_Server_Key;
    case Certificates::Place::Key_Password: return Par_Gen::TLS_Server_Key_Password;
    case Certificates::Place::Server_Certificate: return Par_Gen::TLS_Server_Server_Certificate;
    case Certificates::Place::Root_Certificate: return Par_Gen::TLS_Server_Root_Certificate;
    case Certificates::Place::Enable_Known_Cert: return Par_Gen::TLS_Server_Enable_Known_Cert;
    case Certificates::Place::Known_Row: break;
    }
    return Par_Gen::TLS_Server_Enable;
}

Severity Level_Of(Certificates::Severity Level)
{
    return Level == Certificates::Severity::Blocking ? Severity::Error : Severity::Warning;
}

// A check box's value as stored: Y, N, or nothing, else a fault.
bool Box_Value_Ok(const std::optional<QString>& Value)
{
    return !Value || Value->isEmpty() || *Value == QLatin1String("Y") || *Value == QLatin1String("N");
}

constexpr int Variable_Boxes[] = {Variables_File::Enable, Variables_File::ReadOnly, Variables_File::Swap,
                                  Variables_File::SwapWord};

QString Attribute_Name(int Attribute) { return QString::fromLatin1(Variables_File::Info(Attribute).Name); }

} // namespace

QString Finding_Line(const Finding& Item)
{
    QString Place = QDir::toNativeSeparators(Item.File);
    if (Item.Place.Known())
        Place += QStringLiteral(":%1:%2").arg(Item.Place.Line).arg(Item.Place.Column);
    return QStringLiteral("%1: %2: %3")
        .arg(Place, Item.Level == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning"), Item.Text);
}

bool Has_Errors(const QList<Finding>& Findings)
{
    return std::any_of(Findings.begin(), Findings.end(), [](const Finding& F) { return F.Level == Severity::Error; });
}

std::optional<Finding> First_Error(const QList<Finding>& Findings)
{
    for (const Finding& F : Findings)
        if (F.Level == Severity::Error)
            return F;
    return std::nullopt;
}

QList<Finding> Warnings_Of(const QList<Finding>& Findings)
{
    QList<Finding> Warnings;
    for (const Finding& F : Findings)
        if (F.Level == Severity::Warning)
            Warnings.append(F);
    return Warnings;
}

QString Warnings_Question(const QList<Finding>& Warnings, int Intro_Slot, const Lang_Table& Lang)
{
    QList<Certificates::Finding> Listed;
    for (const Finding& F : Warnings)
        Listed.append({Certificates::Problem::Empty_Box, Certificates::Severity::Warning,
                       F.Tls_Field.value_or(Certificates::Place::Known_Row), F.Rows.value(0), F.Text});
    return Certificates::Warnings_Question(Listed, Intro_Slot, Lang);
}

// ---- ParGen.xml ----

Par_Gen_Input Par_Gen_Input_Of(const QString& Path, const Par_Gen::Stored& File)
{
    Par_Gen_Input Input;
    Input.File = Path;
    Input.Data = Par_Gen::Editor_Values(File);
    for (int E = 0; E < Par_Gen::Element_Count; ++E)
        Input.Places[static_cast<size_t>(E)] = File.Place(E);
    return Input;
}

QList<Finding> Check_Par_Gen(const Par_Gen_Input& Input, const Lang_Table& Lang)
{
    QList<Finding> Found;
    const auto Place = [&](int Element) { return Input.Places[static_cast<size_t>(Element)]; };
    for (const Par_Gen::Problem& Problem : Par_Gen::Find_Problems(Input.Data, Lang))
        Found.append({Input.File, Place(Problem.Element), {}, Problem.Element, std::nullopt, Severity::Error,
                      Problem.Text});

    const Par_Gen::Values& Data = Input.Data;
    const Certificates::Server_Material Material{
        Data.Is_Checked(Par_Gen::TLS_Server_Enable),    Data[Par_Gen::TLS_Server_Key],
        Data[Par_Gen::TLS_Server_Key_Password],         Data[Par_Gen::TLS_Server_Server_Certificate],
        Data[Par_Gen::TLS_Server_Root_Certificate],
        // A list that cannot be read is reported where it is edited.
        Input.Known_Sent.has_value() && Data.Is_Checked(Par_Gen::TLS_Server_Enable_Known_Cert)};
    Certificates::Pem_Reader Own_Reader;
    if (Material.TLS_Enabled)
        for (const Certificates::Finding& F :
             Certificates::Check_Server(Material, Input.Known_Sent.value_or(QList<Certificates::Known_Certificate>()),
                                        Input.Now, Lang, Input.Reader ? *Input.Reader : Own_Reader)) {
            const int Element = Element_Of(F.Where);
            Found.append({Input.File, Place(Element), {}, Element, F.Where, Level_Of(F.Level), F.Text});
        }
    // Further findings about the general parameters go here, after the
    // dialog's own checks so that the first error the dialog shows stays.
    // A name the PROFINET controller cannot use is the user's to keep: a warning.
    if (const std::optional<Station_Name_Rule> Broken = Broken_Station_Name_Rule(Data[Par_Gen::PROFINET_NAME_STA]))
        Found.append({Input.File, Place(Par_Gen::PROFINET_NAME_STA), {}, Par_Gen::PROFINET_NAME_STA, std::nullopt,
                      Severity::Warning,
                      Lang[Slot::Station_Name_Not_Valid].arg(Data[Par_Gen::PROFINET_NAME_STA],
                                                             Lang[Station_Name_Rule_Slot(*Broken)])});
    return Found;
}

// ---- IEC61850_Variables.xml ----

const QStringList& Type_Items()
{
    static const QStringList Items{QStringLiteral("Int"), QStringLiteral("Float"), QStringLiteral("Digital (Bit)")};
    return Items;
}

const QStringList& Conversion_Items()
{
    static const QStringList Items{QStringLiteral("None"), QStringLiteral("Int to Float"),
                                   QStringLiteral("Float to Int")};
    return Items;
}

QList<Value_Fault> Value_Faults(const QStringList& Texts, const Lang_Table& Lang)
{
    using namespace Variables_File;
    QList<Value_Fault> Faults;
    const QString Kind = Texts.value(Type);
    if (!Type_Items().contains(Kind))
        Faults.append({Type, Severity::Error, Lang[Slot::Type_Not_Item].arg(Kind)});
    // An empty Conversion has its own message where the row is enabled.
    const QString Operation = Texts.value(Conversion);
    if (!Operation.isEmpty() && !Conversion_Items().contains(Operation))
        Faults.append({Conversion, Severity::Error, Lang[Slot::Conversion_Not_Item].arg(Operation)});
    for (const int Box : Variable_Boxes)
        if (!Box_Value_Ok(Texts.value(Box)))
            Faults.append({Box, Severity::Warning, Lang[Slot::Box_Not_Y_N].arg(Attribute_Name(Box), Texts.value(Box))});
    if (Kind == QLatin1String("Digital (Bit)")) {
        const QString Bit = Texts.value(StartBit);
        const auto Value = Read_Integer(Bit);
        if (!Trimmed(Bit).isEmpty() && (!Value || *Value < 0 || *Value > 7))
            Faults.append({StartBit, Severity::Warning, Lang[Slot::Start_Bit_Not_Bit].arg(Bit)});
    }
    std::stable_sort(Faults.begin(), Faults.end(),
                     [](const Value_Fault& A, const Value_Fault& B) { return A.Level < B.Level; });
    return Faults;
}

QList<Finding> Check_Variables(const Variables_Input& Input, const Lang_Table& Lang)
{
    using namespace Variables_File;
    using List_File::Reader;
    QList<Finding> Found;
    QList<Finding> Warnings;
    const auto Add = [&](QList<Finding>& To, int Row, QList<int> Rows, int Attribute, Severity Level,
                         const QString& Text) {
        To.append({Input.File, Input.Rows[Row - 1].Place, Rows, Attribute, std::nullopt, Level, Text});
    };
    const int NByte_IN = Input.NByte_IN;
    QHash<QString, int> First_Row_Named;
    // What the placement sees: the compiler's rows, enabled as the compiler reads them.
    QList<QStringList> Placed;
    for (int Row = 1; Row <= Input.Rows.size(); ++Row) {
        const Variables_File::Row Item(Input.Rows[Row - 1]);
        QStringList Texts = Editor_Texts(Item);
        const bool Is_Sent = Item.Flag(Enable, Reader::Image);
        const bool Enabled = Is_Sent || Trimmed(Texts[Enable]) == QLatin1String("Y");
        for (const int Box : Variable_Boxes)
            if (!Box_Value_Ok(Item[Box]))
                Add(Warnings, Row, {Row}, Box, Severity::Warning,
                    Lang[Slot::Warning_Row].arg(Row).arg(Lang[Slot::Box_Not_Y_N].arg(Attribute_Name(Box), *Item[Box])));
        QStringList For_Placement = Texts;
        For_Placement[Enable] = Is_Sent ? QStringLiteral("Y") : QStringLiteral("N");
        // A name keeps the placement going past a row the editor would end the list at.
        if (Trimmed(For_Placement[Name]).isEmpty())
            For_Placement[Name] = QStringLiteral("?");
        Placed.append(For_Placement);
        if (!Enabled)
            continue;
        const auto Error = [&](int Attribute, const QString& Text, QList<int> Rows = {}) {
            Add(Found, Row, Rows.isEmpty() ? QList<int>{Row} : Rows, Attribute, Severity::Error,
                Error_Row_Text(Row, Text, Lang));
        };
        // The editor's rules, in the order of the columns and with its texts.
        const QString Prefix = Lang[Slot::Error_Row] + QString::number(Row);
        const auto Old = [&](int Attribute, const QString& Text) {
            Add(Found, Row, {Row}, Attribute, Severity::Error, Prefix + Text);
        };
        const qint32 Length_Value = Read_Integer(Texts[Length], -1);
        if (Length_Value < 1 || Length_Value > 4)
            Old(Length, Lang[Slot::Length_Range]);
        const qint32 Position_Value = Read_Integer(Texts[Position], -1);
        if (Position_Value < 0 || Position_Value > NByte_IN - 1)
            Old(Position, Lang[Slot::Position_Range] + QString::number(NByte_IN - 1));
        if (Texts[Type] == QLatin1String("Digital (Bit)") && Trimmed(Texts[StartBit]).isEmpty())
            Old(StartBit, Lang[Slot::Start_Bit_Missing]);
        if (Trimmed(Texts[Conversion]).isEmpty())
            Old(Conversion, Lang[Slot::Conversion_Missing]);
        const QString Factor = Texts[MultiplicationFactor];
        if (Ascii_Upper(Trimmed(Factor)) != QLatin1String("NONE") && !Text_To_Float(Factor, Input.Separator).Ok)
            Old(MultiplicationFactor, Lang[Slot::Factor_Not_Float]);
        // Values no editor writes.
        for (const Value_Fault& Fault : Value_Faults(Texts, Lang))
            if (Fault.Level == Severity::Error)
                Error(Fault.Attribute, Fault.Text);
        const QString Key = Trimmed(Texts[Name]);
        if (!Key.isEmpty()) {
            if (const auto Earlier = First_Row_Named.constFind(Key); Earlier != First_Row_Named.cend())
                Error(Name, Lang[Slot::Name_Used_Twice].arg(Key).arg(*Earlier), {*Earlier, Row});
            else
                First_Row_Named.insert(Key, Row);
        }
        if (Is_Sent && Row > Max_Variables)
            Error(Enable, Lang[Slot::Too_Many_Variables].arg(Max_Variables));
    }
    // Warnings after the errors, the check boxes before the placement.
    Found += Warnings;
    const Variable_Placement::Analysis Placement = Variable_Placement::Analyse(Placed);
    for (const Variable_Placement::Finding& F : Placement.Findings) {
        const int Row = F.Rows.constFirst();
        const int Attribute = F.Kind == Variable_Placement::Finding_Kind::Bad_Bit ? StartBit : Position;
        Add(Found, Row, F.Rows, Attribute, Severity::Warning, Variable_Placement::Finding_Text(F, Lang));
    }
    // A Start Bit that is no number at all escapes the placement.
    for (int Row = 1; Row <= Input.Rows.size(); ++Row) {
        const Variables_File::Row Item(Input.Rows[Row - 1]);
        if (!Item.Flag(Enable, Reader::Image) || Read_Integer(Editor_Texts(Item)[StartBit]))
            continue;
        for (const Value_Fault& Fault : Value_Faults(Editor_Texts(Item), Lang))
            if (Fault.Attribute == StartBit)
                Add(Found, Row, {Row}, StartBit, Severity::Warning, Lang[Slot::Warning_Row].arg(Row).arg(Fault.Text));
    }
    return Found;
}

// ---- TLS_Known_Cert.xml ----

QList<Finding> Check_Known_Cert(const Known_Cert_Input& Input, const Lang_Table& Lang)
{
    namespace K = Known_Cert_File;
    using List_File::Reader;
    QList<Finding> Found;
    // The rows the editor saves, and those past them the compiler sends.
    QList<Certificates::Known_Certificate> Rows;
    QSet<int> Checked;
    int Saved = 0;
    while (Saved < Input.Rows.size() && !Trimmed(K::Row(Input.Rows[Saved]).Text(K::Certificate, Reader::Editor)).isEmpty())
        ++Saved;
    for (int Index = 0; Index < Input.Rows.size(); ++Index) {
        const K::Row Item(Input.Rows[Index]);
        const bool Is_Sent = Item.Flag(K::Enable, Reader::Image);
        if (Index < Saved || Is_Sent)
            Checked.insert(Index + 1);
        Rows.append({Is_Sent || Item.Flag(K::Enable, Reader::Editor),
                     Index < Saved || Is_Sent ? Item.Text(K::Certificate, Reader::Editor) : QString(),
                     Item.Text(K::Mnemonic, Reader::Editor)});
    }
    while (!Rows.isEmpty() && !Checked.contains(static_cast<int>(Rows.size())))
        Rows.removeLast();
    const auto Place_Of_Row = [&](int Row) { return Row >= 1 && Row <= Input.Rows.size() ? Input.Rows[Row - 1].Place : Xml_Place(); };
    Certificates::Pem_Reader Own_Reader;
    if (!Rows.isEmpty())
        for (const Certificates::Finding& F :
             Certificates::Check_Known_List(Rows, Input.Only_Known_In_Force, Input.Now, Lang,
                                            Input.Reader ? *Input.Reader : Own_Reader)) {
            if (F.Row > 0 && !Checked.contains(F.Row))
                continue;
            Found.append({Input.File, Place_Of_Row(F.Row), F.Row > 0 ? QList<int>{F.Row} : QList<int>{}, K::Certificate,
                          F.Where, Level_Of(F.Level), F.Text});
        }
    // The editor holds 10 rows; one past them that the compiler sends would
    // reach the device unseen.
    for (int Index = Max_Known_Certificates; Index < Input.Rows.size(); ++Index) {
        const int Row = Index + 1;
        if (K::Row(Input.Rows[Index]).Flag(K::Enable, Reader::Image))
            Found.append({Input.File, Place_Of_Row(Row), {Row}, K::Enable, std::nullopt, Severity::Error,
                          Error_Row_Text(Row, Lang[Slot::Too_Many_Certificates].arg(Max_Known_Certificates), Lang)});
    }
    for (int Index = 0; Index < Input.Rows.size(); ++Index) {
        const std::optional<QString> Box = Input.Rows[Index].Values.value(K::Enable);
        if (!Box_Value_Ok(Box))
            Found.append({Input.File, Place_Of_Row(Index + 1), {Index + 1}, K::Enable, std::nullopt, Severity::Warning,
                          Lang[Slot::Warning_Row].arg(Index + 1).arg(
                              Lang[Slot::Box_Not_Y_N].arg(QString::fromLatin1(K::Info(K::Enable).Name), *Box))});
    }
    // The errors before the warnings, each kind in the order found.
    std::stable_sort(Found.begin(), Found.end(), [](const Finding& A, const Finding& B) { return A.Level < B.Level; });
    return Found;
}

// ---- A file read as defaults ----

std::optional<Finding> Read_As_Defaults(const QString& File, const std::optional<Xml_Leading_Node>& Before,
                                        const Lang_Table& Lang)
{
    if (!Before)
        return std::nullopt;
    int Kind_Slot = Slot::Leading_Comment;
    switch (Before->What) {
    case Xml_Leading_Node::Kind::Comment: Kind_Slot = Slot::Leading_Comment; break;
    case Xml_Leading_Node::Kind::Document_Type: Kind_Slot = Slot::Leading_Document_Type; break;
    case Xml_Leading_Node::Kind::Declaration: Kind_Slot = Slot::Leading_Declaration; break;
    case Xml_Leading_Node::Kind::Processing_Instruction: Kind_Slot = Slot::Leading_Instruction; break;
    }
    return Finding{File, {Before->Line, Before->Column}, {}, -1, std::nullopt, Severity::Error,
                   Lang[Slot::Read_As_Defaults].arg(Lang[Kind_Slot])};
}

std::optional<QString> Read_As_Defaults_Message(const QString& Path, const Lang_Table& Lang)
{
    Xml_File Xml;
    if (Xml.Load(Path) != Xml_File::Load_Status::Loaded)
        return std::nullopt;
    const std::optional<Finding> Found = Read_As_Defaults(Path, Xml.Before_Root(), Lang);
    if (!Found)
        return std::nullopt;
    return QStringLiteral("%1 (line %2, column %3): %4")
        .arg(QDir::toNativeSeparators(Path), QString::number(Found->Place.Line), QString::number(Found->Place.Column),
             Found->Text);
}

// ---- The configuration ----

QList<Finding> Check_Configuration(const Configuration& Config, const Lang_Table& Lang, Decimal_Separator& Separator,
                                   Certificates::Pem_Reader* Reader,
                                   std::optional<Configuration_Image::Compile_Result> Compiled)
{
    Certificates::Pem_Reader Own_Reader;
    Certificates::Pem_Reader& Reading = Reader ? *Reader : Own_Reader;
    const Active_Project& Files = Config.Files;
    QList<Finding> Found;
    const auto Not_Well_Formed = [&](const QString& File, const QString& Message) {
        Found.append({File, {}, {}, -1, std::nullopt, Severity::Error, Message, true});
    };
    const QDateTime Now = QDateTime::currentDateTimeUtc();
    const Parsed<Par_Gen::Stored>& General = Config.General;
    const Parsed<List_File::Stored>& Variables = Config.Variables;
    const Parsed<List_File::Stored>& Known = Config.Known_Certificates;

    const auto Read_As_Defaults_Of = [&](const QString& File, const std::optional<Xml_Leading_Node>& Before) {
        if (std::optional<Finding> Defaults = Read_As_Defaults(File, Before, Lang))
            Found.append(*Defaults);
    };
    if (General) {
        Read_As_Defaults_Of(Files.File_ParGen, General->Before_Root());
        Par_Gen_Input Input = Par_Gen_Input_Of(Files.File_ParGen, *General);
        Input.Now = Now;
        Input.Reader = &Reading;
        if (Known) {
            // Whether a known certificate is enabled is judged by what the device receives.
            QList<Certificates::Known_Certificate> Sent;
            for (const List_File::Stored_Row& Stored : Known->Rows) {
                const Known_Cert_File::Row Item(Stored);
                Sent.append({Item.Flag(Known_Cert_File::Enable, List_File::Reader::Image),
                             Item.Text(Known_Cert_File::Certificate, List_File::Reader::Image),
                             Item.Text(Known_Cert_File::Mnemonic, List_File::Reader::Editor)});
            }
            Input.Known_Sent = Sent;
        }
        Found += Check_Par_Gen(Input, Lang);
    } else {
        Not_Well_Formed(Files.File_ParGen, General.error());
    }

    if (Variables) {
        Read_As_Defaults_Of(Files.File_IEC61850_Variables, Variables->Before_Root);
        Found += Check_Variables({Files.File_IEC61850_Variables, Variables->Rows, Get_Decimal_Separator(Separator),
                                  Data_Array_Size},
                                 Lang);
    } else {
        Not_Well_Formed(Files.File_IEC61850_Variables, Variables.error());
    }

    if (Known) {
        Read_As_Defaults_Of(Files.File_TLS_Known_Cert, Known->Before_Root);
        // That no listed certificate is enabled is reported with the general
        // parameters, where it is in force.
        Found += Check_Known_Cert({Files.File_TLS_Known_Cert, Known->Rows, false, Now, &Reading}, Lang);
    } else {
        Not_Well_Formed(Files.File_TLS_Known_Cert, Known.error());
    }

    // What the compiler would refuse: the configuration too large for the device.
    if (General && Variables && Known) {
        if (!Compiled) {
            Configuration_Image Image(Files, &Separator);
            Compiled = Image.Create_Bin(Config);
        }
        if (*Compiled == Configuration_Image::Compile_Result::Too_Large)
            Found.append({Files.Project_Dir, {}, {}, -1, std::nullopt, Severity::Error, Lang[Image_Text::Too_Large]});
    }
    return Found;
}

QList<Finding> Check_Configuration(const Workspace& Space, Decimal_Separator& Separator,
                                   Certificates::Pem_Reader* Reader)
{
    // The window's configuration: a file not saved yet is checked by its defaults.
    const auto Config = Read_Configuration(Space);
    if (Config)
        return Check_Configuration(*Config, Space.Lang_Strings, Separator, Reader);
    return {Finding{Config.error().Path, {}, {}, -1, std::nullopt, Severity::Error, Config.error().Text(), true}};
}

} // namespace Checks

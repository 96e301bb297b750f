// Damaged and hostile project files for every reader of them: the editors,
// the image compiler and the GSDML generator. Nothing may crash or hang, a
// file is either read (with defaults where values are missing) or refused with
// Xml_Parse_Error, and what the compiler reports as compiled must be a pair of
// banks the device can use. Every random case runs from a fixed seed.

#include "editors/List_Files.h"
#include "project/Par_Gen_File.h"
#include "editors/Table_Model.h"
#include "gsdml/Profinet_XML.h"
#include "image/Configuration_Image.h"
#include "image/Image_Fixtures.h"
#include "foundation/Lang_Strings.h"
#include "platform/Save_File_Dialog.h"
#include "platform/Xml_File.h"
#include "foundation/Workspace.h"
#include "support/Fixed_Separator.h"
#include "support/Scripted_Prompter.h"
#include "platform/Hostile_Bytes.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <functional>
#include <random>

using namespace Hostile_Bytes;
using namespace Image_Fixtures;
using Test_Support::Read_File;
using Test_Support::Write_File;

namespace {

constexpr quint32 Base = 0x80000;
constexpr int Mega = 1024 * 1024;

class No_Save_Dialog : public Save_File_Dialog {
public:
    std::optional<QString> Ask_Save_Path(const Save_File_Request&) override { return std::nullopt; }
};

enum class File_Kind { ParGen, Variables, Known_Cert };

// What a reader did with a file: read it, refused it as malformed, or failed
// in a way it must not.
struct Outcome {
    bool Malformed = false;
    QString Fault;
};

template <class Action>
Outcome Guarded(Action&& Run)
{
    try {
        Run();
    } catch (const Xml_Parse_Error& Error) {
        // The user is told which file, where, and what the parser found.
        if (!Error.Message().contains(QLatin1StringView(".xml (line ")))
            return {true, QStringLiteral("parse error without its place: ") + Error.Message()};
        return {true, {}};
    } catch (const std::exception& E) {
        return {false, QStringLiteral("unexpected exception: ") + QString::fromUtf8(E.what())};
    }
    return {};
}

// Bank 1 as the device checks it: 2048 bytes, its checksum over the first
// 2044, the data area at 0x80000, and the fields beside the station name intact.
QString Check_Bank1(const Configuration_Image& Image)
{
    if (Image.Bank1_Length != 2048)
        return QStringLiteral("bank 1 holds %1 bytes").arg(Image.Bank1_Length);
    const QByteArray B = Image.Bank1_Buffer.left(2048);
    quint32 Sum = 0;
    for (int I = 0; I < 2044; ++I)
        Sum += static_cast<quint8>(B[I]);
    if (U32(B, 2044) != Sum)
        return QStringLiteral("bank 1 checksum %1, bytes sum to %2").arg(U32(B, 2044)).arg(Sum);
    if (U32(B, 1512) != Base)
        return QStringLiteral("data area address %1").arg(U32(B, 1512), 0, 16);
    if (B[95] != 0)
        return QStringLiteral("station name without its terminating zero");
    for (int I = 96; I < 104; ++I)
        if (B[I] != 0)
            return QStringLiteral("byte %1 after the station name overwritten").arg(I);
    for (int I = 436; I < 444; ++I)
        if (B[I] != 8)
            return QStringLiteral("reserved byte %1 overwritten").arg(I);
    return {};
}

// Bank 2 read back as the device reads it: every address lies inside the
// file and the bytes there are the string of the model, with its zero.
QString Check_Bank2(const Configuration_Image& Image)
{
    const quint32 Size = Image.Bank2_Length;
    const QByteArray B = Image.Bank2_Buffer.left(static_cast<qsizetype>(Size));
    const TIEC61850& Server = Image.IEC61850_Image;
    const TTLS_Bank& Tls = Server.TLS_Data;
    if (Size < 55)
        return QStringLiteral("bank 2 of %1 bytes").arg(Size);

    quint64 Strings = 0;
    // A non-empty string: its bytes and a zero, all inside the file.
    const auto String_At = [&](quint32 Add, const QByteArray& Expected, const char* What) -> QString {
        if (Add < Base || quint64{Add} - Base + static_cast<quint64>(Expected.size()) + 1 > Size)
            return QStringLiteral("%1 at %2 lies outside a bank of %3 bytes").arg(What).arg(Add, 0, 16).arg(Size);
        const quint32 Off = Add - Base;
        if (B.mid(Off, Expected.size()) != Expected || B[Off + static_cast<quint32>(Expected.size())] != 0)
            return QStringLiteral("%1 at %2 does not hold its text").arg(What).arg(Add, 0, 16);
        Strings += static_cast<quint64>(Expected.size()) + 1;
        return {};
    };
    // Key and certificates: empty ones point at the zero byte after the tables.
    const auto Text_At = [&](quint32 Add, quint32 Stored, const QString& Text, const char* What) -> QString {
        const QByteArray Bytes = Text.toUtf8();
        if (Stored != static_cast<quint32>(Bytes.size()))
            return QStringLiteral("%1: stored length %2 for %3 bytes").arg(What).arg(Stored).arg(Bytes.size());
        if (Text.isEmpty())
            return Add >= Base && Add - Base < Size && B[Add - Base] == 0
                       ? QString()
                       : QStringLiteral("empty %1 does not point at a zero byte").arg(What);
        return String_At(Add, Bytes, What);
    };
    const auto Known_Here = [&](quint32 Add) { return Add >= Base && Add - Base <= Size; };
    QString E;
    if (!(E = Text_At(U32(B, 6), U32(B, 10), Tls.key, "key")).isEmpty())
        return E;
    if (Tls.Key_Password.isEmpty() ? U32(B, 14) != 0
                                   : !(E = String_At(U32(B, 14), Tls.Key_Password.toUtf8(), "pass phrase")).isEmpty())
        return E.isEmpty() ? QStringLiteral("empty pass phrase with an address") : E;
    if (!(E = Text_At(U32(B, 18), U32(B, 22), Tls.Server_Cert.Certificate, "server certificate")).isEmpty())
        return E;
    if (!(E = Text_At(U32(B, 26), U32(B, 30), Tls.Root_Cert.Certificate, "root certificate")).isEmpty())
        return E;
    if (Server.Password.isEmpty() ? U32(B, 42) != 0
                                  : !(E = String_At(U32(B, 42), Low_Bytes(Server.Password), "password")).isEmpty())
        return E.isEmpty() ? QStringLiteral("empty password with an address") : E;

    const quint32 Known = U32(B, 34);
    if (U32(B, 38) != Base + 54)
        return QStringLiteral("known certificate table at %1").arg(U32(B, 38), 0, 16);
    const bool With_Known = Server.TLS_Enable == 1 && Tls.Known_Cert_En == 1;
    if (Known != (With_Known ? static_cast<quint32>(Tls.Known_Cert.size()) : 0U))
        return QStringLiteral("%1 known certificates in the header").arg(Known);
    const quint32 Vars = U32(B, 46);
    const quint32 Var_Add = U32(B, 50);
    if (Vars != static_cast<quint32>(Server.Variables.size()) || Var_Add != Base + 54 + 8 * Known)
        return QStringLiteral("variable table of %1 at %2").arg(Vars).arg(Var_Add, 0, 16);
    if (quint64{54} + 8ULL * Known + 32ULL * Vars + 1 > Size)
        return QStringLiteral("tables longer than the bank");

    // Empty known certificates and names point where the next string begins.
    for (quint32 I = 0; I < Known; ++I) {
        const quint32 Entry = 54 + 8 * I;
        const QByteArray Text = Tls.Known_Cert[static_cast<qsizetype>(I)].Certificate.toUtf8();
        if (U32(B, Entry + 4) != static_cast<quint32>(Text.size()))
            return QStringLiteral("known certificate %1: stored length %2").arg(I).arg(U32(B, Entry + 4));
        if (Text.isEmpty() ? !Known_Here(U32(B, Entry))
                           : !(E = String_At(U32(B, Entry), Text, "known certificate")).isEmpty())
            return E.isEmpty() ? QStringLiteral("empty known certificate %1 outside the bank").arg(I) : E;
    }
    for (quint32 I = 0; I < Vars; ++I) {
        const quint32 Entry = Var_Add - Base + 32 * I;
        const QString& Name = Server.Variables[static_cast<qsizetype>(I)].Name;
        if (Name.isEmpty() ? !Known_Here(U32(B, Entry))
                           : !(E = String_At(U32(B, Entry), Low_Bytes(Name), "variable name")).isEmpty())
            return E.isEmpty() ? QStringLiteral("empty name %1 outside the bank").arg(I) : E;
    }
    const quint64 Expected_Size = 54 + 8ULL * Known + 32ULL * Vars + 1 + Strings;
    if (Expected_Size != Size)
        return QStringLiteral("bank 2 of %1 bytes, its layout counts %2").arg(Size).arg(Expected_Size);
    return {};
}

// Whether XML 1.0 can carry every character of Text.
bool Xml_Allows(const QString& Text)
{
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const char16_t C = Text[I].unicode();
        if (QChar::isHighSurrogate(C) && I + 1 < Text.size() && QChar::isLowSurrogate(Text[I + 1].unicode())) {
            ++I;
            continue;
        }
        if ((C < 0x20 && C != u'\t' && C != u'\n' && C != u'\r') || QChar::isSurrogate(C) || C == 0xFFFE || C == 0xFFFF)
            return false;
    }
    return true;
}

// A device description as the engineering tool reads it: byte-order mark,
// 167 lines ending in CR LF, well-formed XML, and a name of station that XML
// can carry read back unchanged from the access point.
QString Check_Gsdml(const QByteArray& Bytes, const QString& Name)
{
    if (!Bytes.startsWith("\xEF\xBB\xBF") || !Bytes.endsWith("\r\n"))
        return QStringLiteral("no byte-order mark or no final line break");
    if (Bytes.count("\r\n") != Profinet_XML_Line_Count || Bytes.count('\n') != Profinet_XML_Line_Count)
        return QStringLiteral("%1 lines").arg(Bytes.count("\r\n"));
    QXmlStreamReader Reader(Bytes);
    QString Implementation_Type;
    while (!Reader.atEnd()) {
        Reader.readNext();
        if (Reader.isStartElement() && Reader.name() == QLatin1StringView("DeviceAccessPointItem"))
            Implementation_Type = Reader.attributes().value(QStringLiteral("ImplementationType")).toString();
    }
    if (Reader.hasError())
        return QStringLiteral("not well-formed, line %1: %2").arg(Reader.lineNumber()).arg(Reader.errorString());
    if (Xml_Allows(Name) && Implementation_Type != Name)
        return QStringLiteral("name of station reads back as \"%1\"").arg(Implementation_Type.left(40));
    return {};
}

// A program folder with one active configuration and one instance of each reader.
struct Readers_Fixture {
    QTemporaryDir Dir;
    Workspace Space{Dir.path() + "/prog"};
    Fixed_Separator Separator;
    Configuration_Image Image{Space, &Separator};
    Scripted_Prompter Prompts;
    No_Save_Dialog Dialog;
    Profinet_XML Gsdml{Space};
    QString Gsdml_Path = Dir.path() + "/out/GSDML.xml";

    Readers_Fixture()
    {
        QDir().mkpath(Space.Exe_Dir + "/PROJECTS/P/bin");
        QDir().mkpath(Dir.path() + "/out");
        Space.Create_Directories();
        Space.Lang_Strings.Create_Default_Strings();
        Space.Activate_Project(QStringLiteral("P"));
    }

    QString Path(File_Kind Kind) const
    {
        switch (Kind) {
        case File_Kind::ParGen: return Space.File_ParGen;
        case File_Kind::Variables: return Space.File_IEC61850_Variables;
        case File_Kind::Known_Cert: return Space.File_TLS_Known_Cert;
        }
        return {};
    }

    void Put(File_Kind Kind, const QByteArray& Bytes) const { Write_File(Path(Kind), Bytes); }

    // The loops of many cases compose the description in memory: the file's
    // safe replacement syncs to disk, which thousands of cases cannot afford.
    bool Write_Gsdml_File = true;

    QString Run_Generator(bool Malformed_Expected)
    {
        QFile::remove(Gsdml_Path);
        std::expected<void, Write_Error> Written;
        QByteArray Bytes;
        const Outcome Generator = Guarded([&] {
            if (Write_Gsdml_File) {
                Written = Gsdml.Create_Profinet_XML(Gsdml_Path);
                Bytes = Read_File(Gsdml_Path);
            } else {
                Gsdml.Load_Profinet_Par();
                Bytes = Compose_Profinet_XML(Gsdml.Par);
            }
        });
        if (!Generator.Fault.isEmpty())
            return Generator.Fault;
        if (Generator.Malformed != Malformed_Expected)
            return QStringLiteral("the editor and the GSDML generator disagree whether the file is well-formed");
        if (Generator.Malformed)
            return QFile::exists(Gsdml_Path) ? QStringLiteral("written from a malformed file") : QString();
        if (!Written)
            return QStringLiteral("not written: ") + Written.error().Path + QStringLiteral(": ") + Written.error().System_Text;
        return Check_Gsdml(Bytes, Gsdml.Par.Name_Station);
    }

    // Runs every reader of the file of Kind; a fault is described, nothing
    // means each reader read the file or refused it, all alike.
    QString Run_Readers(File_Kind Kind, bool* Was_Malformed = nullptr)
    {
        Outcome Editor;
        Par_Gen::Values Values;
        if (Kind == File_Kind::ParGen) {
            Editor = Guarded([&] { Values = Par_Gen::Load(Path(Kind)); });
            if (!Editor.Malformed && Editor.Fault.isEmpty())
                for (int I = 0; I < Par_Gen::Element_Count; ++I)
                    if (Par_Gen::Info(I).For(Par_Gen::Reader::Editor).How != Par_Gen::Rule::Text && Values[I] != "0" && Values[I] != "1")
                        return QStringLiteral("check box %1 loaded as \"%2\"").arg(I).arg(Values[I]);
        } else if (Kind == File_Kind::Variables) {
            Table_Model Table(Check_Kind::Text_Check, IEC61850_Variables::Data_Rows + 1, IEC61850_Variables::Columns);
            IEC61850_Variables::Init_Table(Table);
            Editor = Guarded([&] { IEC61850_Variables::Load(Path(Kind), Table); });
            if (Table.Row_Count() != IEC61850_Variables::Data_Rows + 1)
                return QStringLiteral("variables table has %1 rows").arg(Table.Row_Count());
        } else {
            Table_Model Table(Check_Kind::State_Check, TLS_Known_Cert::Data_Rows + 1, TLS_Known_Cert::Columns);
            TLS_Known_Cert::Init_Table(Table);
            Editor = Guarded([&] { TLS_Known_Cert::Load(Path(Kind), Table); });
            if (Table.Row_Count() != TLS_Known_Cert::Data_Rows + 1)
                return QStringLiteral("certificate table has %1 rows").arg(Table.Row_Count());
        }
        if (!Editor.Fault.isEmpty())
            return QStringLiteral("editor: ") + Editor.Fault;

        auto Result = Configuration_Image::Compile_Result::Compiled;
        const Outcome Compiler = Guarded([&] { Result = Image.Create_Bin(); });
        if (!Compiler.Fault.isEmpty())
            return QStringLiteral("compiler: ") + Compiler.Fault;
        if (Compiler.Malformed != Editor.Malformed)
            return QStringLiteral("the editor and the compiler disagree whether the file is well-formed");
        if (Compiler.Malformed || Result == Configuration_Image::Compile_Result::Too_Large) {
            // Nothing may stay ready to be sent as if it were this configuration.
            if (Image.Bank1_Length != 0 || Image.Bank2_Length != 0 || Image.Save_Bin())
                return QStringLiteral("a refused compilation left banks ready to save");
        } else {
            if (const QString E = Check_Bank1(Image); !E.isEmpty())
                return E;
            if (const QString E = Check_Bank2(Image); !E.isEmpty())
                return E;
        }

        if (Kind == File_Kind::ParGen) {
            if (const QString E = Run_Generator(Editor.Malformed); !E.isEmpty())
                return QStringLiteral("GSDML: ") + E;
        }
        if (Was_Malformed)
            *Was_Malformed = Editor.Malformed;
        return {};
    }
};

// Small valid project files: TLS and known certificates on, so that every
// part of bank 2 is present.
Project Small_Project()
{
    Project P;
    P.Has_ParGen = true;
    P.ParGen["IEC61850_Server_Password"] = QStringLiteral("pw");
    P.ParGen["TLS_Server_Enable"] = QStringLiteral("1");
    P.ParGen["TLS_Server_Enable_Known_Cert"] = QStringLiteral("1");
    P.ParGen["TLS_Server_Key"] = QStringLiteral("KEY\nLINE");
    P.ParGen["TLS_Server_Key_Password"] = QStringLiteral("kp");
    P.ParGen["TLS_Server_Server_Certificate"] = QStringLiteral("SRV");
    P.ParGen["PROFINET_EN_GAT"] = QStringLiteral("1");
    P.ParGen["PROFINET_ENABLE_DIAGNOSTIC"] = QStringLiteral("1");
    P.Has_Variables = true;
    Var_Row A;
    A.Name = QStringLiteral("Temp");
    Var_Row B;
    B.Name = QStringLiteral("Flow");
    B.Type = QStringLiteral("Float");
    B.MultiplicationFactor = QStringLiteral("0,5");
    B.Swap = QStringLiteral("Y");
    Var_Row C;
    C.Name = QStringLiteral("Off");
    C.Enable = QStringLiteral("N");
    P.Variables = {A, B, C};
    P.Has_Known_Cert = true;
    P.Known_Cert = {{QStringLiteral("Y"), QStringLiteral("CERT-1"), QStringLiteral("one")},
                    {QStringLiteral("N"), QStringLiteral("CERT-2"), QString()},
                    {QStringLiteral("Y"), QString(), QStringLiteral("empty")}};
    return P;
}

// The bytes of each small valid file, as the editors write them.
QByteArray Small_File(File_Kind Kind)
{
    QTemporaryDir Dir;
    const QString Path = Dir.path() + "/file.xml";
    const Project P = Small_Project();
    if (Kind == File_Kind::ParGen)
        Write_ParGen(P, Path);
    else if (Kind == File_Kind::Variables)
        Write_Variables(P.Variables, Path);
    else
        Write_Known_Cert(P.Known_Cert, Path);
    return Read_File(Path);
}

void Put_Small_Project(const Readers_Fixture& F)
{
    for (File_Kind Kind : {File_Kind::ParGen, File_Kind::Variables, File_Kind::Known_Cert})
        F.Put(Kind, Small_File(Kind));
}

// Mutates one element text or attribute value, so that the damage reaches
// the loaders more often than the parser's checks.
QByteArray Mutate_A_Value(const QByteArray& Bytes, std::mt19937& Random)
{
    QList<std::pair<qsizetype, qsizetype>> Spans;
    for (qsizetype I = 0; I < Bytes.size(); ++I) {
        const bool Text_Start = Bytes[I] == '>';
        const bool Value_Start = Bytes[I] == '"' && I > 0 && Bytes[I - 1] == '=';
        if (!Text_Start && !Value_Start)
            continue;
        const qsizetype End = Bytes.indexOf(Text_Start ? '<' : '"', I + 1);
        if (End > I)
            Spans.append({I + 1, End});
    }
    if (Spans.isEmpty())
        return Mutate(Bytes, Random);
    const auto [Start, End] = Spans[static_cast<qsizetype>(Random() % Spans.size())];
    QByteArray Value = Mutate(Bytes.mid(Start, End - Start), Random);
    return Bytes.left(Start) + Value + Bytes.mid(End);
}

// A general parameters file with raw XML in place of some element texts, so
// that a case can hold any bytes, broken encodings included.
QByteArray Raw_ParGen(const QMap<QByteArray, QByteArray>& Raw_Texts)
{
    QByteArray Text = "<Par_Gen>";
    for (const auto& [Element, Value] : ParGen_Defaults()) {
        const QByteArray Inner = Raw_Texts.value(Element, Value.toUtf8());
        Text += "<" + QByteArray(Element) + ">" + Inner + "</" + QByteArray(Element) + ">";
    }
    return Text + "</Par_Gen><!--SW_VERSION = 1.000-->";
}

QByteArray Raw_Rows(const char* Root, const QByteArray& Row_Attributes, int Rows)
{
    QByteArray Text = "<" + QByteArray(Root) + ">";
    for (int I = 0; I < Rows; ++I)
        Text += "<row " + Row_Attributes + "/>";
    return Text + "</" + QByteArray(Root) + "><!--SW_VERSION = 1.000-->";
}

} // namespace

class Test_Bad_Input : public QObject {
    Q_OBJECT
private slots:
    void Project_File_Truncated_At_Every_Offset_data();
    void Project_File_Truncated_At_Every_Offset();
    void Project_File_Mutated_data();
    void Project_File_Mutated();
    void Huge_Project_data();
    void Huge_Project();
    void Odd_Characters_data();
    void Odd_Characters();
    void Lone_Surrogates_In_The_Model();
};

// ---- project files -----------------------------------------------------------

namespace {

// The same document in UTF-16 with its byte-order mark, which the parser
// recognises; cut at every byte it also ends in half a character.
QByteArray As_Utf16(const QByteArray& Utf8)
{
    const QString Text = QString::fromUtf8(Utf8);
    QByteArray Bytes("\xFF\xFE");
    for (const QChar C : Text) {
        Bytes.append(static_cast<char>(C.unicode() & 0xFF));
        Bytes.append(static_cast<char>(C.unicode() >> 8));
    }
    return Bytes;
}

void Add_Kinds(bool With_Utf16)
{
    QTest::addColumn<int>("Kind");
    QTest::addColumn<bool>("Utf16");
    for (bool Utf16 : With_Utf16 ? QList<bool>{false, true} : QList<bool>{false}) {
        const QString Suffix = Utf16 ? QStringLiteral(", UTF-16") : QString();
        QTest::newRow(qPrintable("ParGen.xml" + Suffix)) << static_cast<int>(File_Kind::ParGen) << Utf16;
        QTest::newRow(qPrintable("IEC61850_Variables.xml" + Suffix)) << static_cast<int>(File_Kind::Variables) << Utf16;
        QTest::newRow(qPrintable("TLS_Known_Cert.xml" + Suffix)) << static_cast<int>(File_Kind::Known_Cert) << Utf16;
    }
}

} // namespace

void Test_Bad_Input::Project_File_Truncated_At_Every_Offset_data() { Add_Kinds(true); }

void Test_Bad_Input::Project_File_Truncated_At_Every_Offset()
{
    QFETCH(int, Kind);
    QFETCH(bool, Utf16);
    const auto File = static_cast<File_Kind>(Kind);
    Readers_Fixture F;
    F.Write_Gsdml_File = false;
    Put_Small_Project(F);
    const QByteArray Full = Utf16 ? As_Utf16(Small_File(File)) : Small_File(File);
    const Par_Gen::Values Original = Par_Gen::Load(F.Path(File_Kind::ParGen));
    int Read = 0;
    for (qsizetype Size = 0; Size <= Full.size(); ++Size) {
        F.Put(File, Full.left(Size));
        bool Malformed = false;
        const QString Fault = F.Run_Readers(File, &Malformed);
        QVERIFY2(Fault.isEmpty(), qPrintable(QStringLiteral("cut at %1: %2").arg(Size).arg(Fault)));
        Read += Malformed ? 0 : 1;
        if (File == File_Kind::ParGen && !Malformed) {
            // What is read of a cut file is the original value or the default, never a piece.
            const Par_Gen::Values Values = Par_Gen::Load(F.Path(File));
            const Par_Gen::Values Defaults = Par_Gen::Defaults();
            for (int I = 0; I < Par_Gen::Element_Count; ++I)
                QVERIFY2(Values[I] == Original[I] || Values[I] == Defaults[I], Par_Gen::Info(I).Name);
        }
    }
    // The whole file and the cut just after its root are read.
    QVERIFY(Read >= 2);
}

void Test_Bad_Input::Project_File_Mutated_data() { Add_Kinds(false); }

void Test_Bad_Input::Project_File_Mutated()
{
    QFETCH(int, Kind);
    const auto File = static_cast<File_Kind>(Kind);
    Readers_Fixture F;
    F.Write_Gsdml_File = false;
    Put_Small_Project(F);
    const QByteArray Valid = Small_File(File);
    std::mt19937 Random(static_cast<unsigned>(20240 + Kind));
    int Read = 0;
    for (int Case = 0; Case < 300; ++Case) {
        const QByteArray Bytes = Case % 2 ? Mutate_A_Value(Valid, Random) : Mutate(Valid, Random);
        F.Put(File, Bytes);
        bool Malformed = false;
        const QString Fault = F.Run_Readers(File, &Malformed);
        QVERIFY2(Fault.isEmpty(), qPrintable(QStringLiteral("mutation ") + QString::number(Case) + QStringLiteral(" (")
                                             + QString::fromLatin1(Bytes.toPercentEncoding().left(300))
                                             + QStringLiteral("): ") + Fault));
        Read += Malformed ? 0 : 1;
    }
    // The mutations must reach the loaders, not only the parser.
    QVERIFY2(Read > 20, qPrintable(QString::number(Read)));
}

namespace {

struct Huge_Case {
    const char* Name;
    std::function<Project()> Make;
    bool Fits;
};

Project With_ParGen(const char* Element, const QString& Value)
{
    Project P = Small_Project();
    P.ParGen[Element] = Value;
    return P;
}

Project With_Variables(int Count, const QString& Name_Prefix = QStringLiteral("V"))
{
    Project P = Small_Project();
    P.Variables.clear();
    for (int I = 0; I < Count; ++I) {
        Var_Row Row;
        Row.Name = Name_Prefix + QString::number(I);
        P.Variables.append(Row);
    }
    return P;
}

// Only general parameters, with one text: the data area is then the header,
// the zero byte and that text, 54 + 1 + its bytes and zero.
Project Only_Text(const char* Element, const QString& Value)
{
    Project P;
    P.Has_ParGen = true;
    P.ParGen[Element] = Value;
    return P;
}

QString Emoji(qsizetype Count) { return QString::fromUtf8("\xF0\x9F\x98\x80").repeated(Count); }

const QList<Huge_Case>& Huge_Cases()
{
    static const QList<Huge_Case> Cases = {
        {"1 MB key", [] { return With_ParGen("TLS_Server_Key", Pem_Text(Mega)); }, false},
        {"400 KB key", [] { return With_ParGen("TLS_Server_Key", Pem_Text(400 * 1024)); }, true},
        {"1 MB pass phrase", [] { return With_ParGen("TLS_Server_Key_Password", Pem_Text(Mega)); }, false},
        {"1 MB password", [] { return With_ParGen("IEC61850_Server_Password", Pem_Text(Mega)); }, false},
        {"1 MB root certificate", [] { return With_ParGen("TLS_Server_Root_Certificate", Pem_Text(Mega)); }, false},
        {"1 MB station name", [] { return With_ParGen("PROFINET_NAME_STA", Pem_Text(Mega, QLatin1Char('n'))); },
         true},
        {"1 MB port", [] { return With_ParGen("PROFINET_PORT", QString(Mega, QLatin1Char('9'))); }, true},
        {"1 MB byte count", [] { return With_ParGen("PROFINET_NB_IN", QString(Mega, QLatin1Char('1'))); }, true},
        {"1 MB variable name", [] { return With_Variables(1, Pem_Text(Mega)); }, false},
        {"1 MB mnemonic",
         [] {
             Project P = Small_Project();
             P.Variables[0].Mnemonic = Pem_Text(Mega);
             return P;
         },
         true},
        {"1 MB factor",
         [] {
             Project P = Small_Project();
             P.Variables[0].MultiplicationFactor = QString(Mega, QLatin1Char('5'));
             return P;
         },
         true},
        {"1 MB known certificate, TLS off",
         [] {
             Project P = With_ParGen("TLS_Server_Enable", QStringLiteral("0"));
             P.Known_Cert[0].Certificate = Pem_Text(Mega);
             return P;
         },
         true},
        {"1 MB known certificate, TLS on",
         [] {
             Project P = Small_Project();
             P.Known_Cert[0].Certificate = Pem_Text(Mega);
             return P;
         },
         false},
        // 524288 bytes exactly: 131058 characters of 4 UTF-8 bytes, or of two
        // UTF-16 code units in the one-byte-per-unit password.
        {"data area full to the byte, emoji key", [] { return Only_Text("TLS_Server_Key", Emoji(131058)); }, true},
        {"one byte beyond, emoji key", [] { return Only_Text("TLS_Server_Key", Emoji(131058) + "a"); }, false},
        {"data area full to the byte, emoji password",
         [] { return Only_Text("IEC61850_Server_Password", Emoji(262116)); }, true},
        {"one byte beyond, emoji password",
         [] { return Only_Text("IEC61850_Server_Password", Emoji(262116) + "a"); }, false},
        {"10000 variables", [] { return With_Variables(10000); }, true},
        {"20000 variables", [] { return With_Variables(20000); }, false},
        {"10000 known certificates",
         [] {
             Project P = Small_Project();
             P.Known_Cert.clear();
             for (int I = 0; I < 10000; ++I)
                 P.Known_Cert.append({QStringLiteral("Y"), I % 3 ? QString::number(I) : QString(), QString()});
             return P;
         },
         true},
    };
    return Cases;
}

} // namespace

void Test_Bad_Input::Huge_Project_data()
{
    QTest::addColumn<int>("Index");
    for (int I = 0; I < Huge_Cases().size(); ++I)
        QTest::newRow(Huge_Cases()[I].Name) << I;
}

void Test_Bad_Input::Huge_Project()
{
    QFETCH(int, Index);
    const Huge_Case& Case = Huge_Cases()[Index];
    Readers_Fixture F;
    const Project P = Case.Make();
    Write_Project(P, F.Space.File_ParGen, F.Space.File_IEC61850_Variables, F.Space.File_TLS_Known_Cert);

    for (File_Kind Kind : {File_Kind::ParGen, File_Kind::Variables, File_Kind::Known_Cert}) {
        bool Malformed = true;
        const QString Fault = F.Run_Readers(Kind, &Malformed);
        QVERIFY2(Fault.isEmpty(), qPrintable(Fault));
        QVERIFY(!Malformed);
    }
    QCOMPARE(F.Image.Create_Bin() == Configuration_Image::Compile_Result::Compiled, Case.Fits);
    if (Case.Fits) {
        QVERIFY(F.Image.Save_Bin());
        if (QByteArray(Case.Name).startsWith("data area full"))
            QCOMPARE(F.Image.Bank2_Length, 0x80000U);
        QCOMPARE(QFileInfo(F.Image.Bank1_Path()).size(), 2048);
        QCOMPARE(QFileInfo(F.Image.Bank2_Path()).size(), static_cast<qint64>(F.Image.Bank2_Length));
        QVERIFY(F.Image.Bank2_Length <= 0x80000);
    }

    // The editors hold every character of a huge value and write it back.
    const Par_Gen::Values Values = Par_Gen::Load(F.Space.File_ParGen);
    for (int I = 0; I < Par_Gen::Element_Count; ++I)
        if (const auto Stored = P.ParGen_Value(QString::fromLatin1(Par_Gen::Info(I).Name));
            Stored && Par_Gen::Info(I).For(Par_Gen::Reader::Editor).How == Par_Gen::Rule::Text)
            QCOMPARE(Values[I].size(), Stored->size());
    QVERIFY(Par_Gen::Save(F.Space.File_ParGen, Values));
    QVERIFY(Par_Gen::Load(F.Space.File_ParGen).Text == Values.Text);

    Table_Model Variables(Check_Kind::Text_Check, IEC61850_Variables::Data_Rows + 1, IEC61850_Variables::Columns);
    IEC61850_Variables::Init_Table(Variables);
    IEC61850_Variables::Load(F.Space.File_IEC61850_Variables, Variables);
    for (int Row = 1; Row <= std::min<int>(P.Variables.size(), IEC61850_Variables::Data_Rows); ++Row) {
        const Var_Row& Expected = P.Variables[Row - 1];
        QCOMPARE(Variables.Cell(Row, IEC61850_Variables::Col_Name), Expected.Name);
        QCOMPARE(Variables.Cell(Row, IEC61850_Variables::Col_Mnemonic), Expected.Mnemonic);
    }
    Table_Model Certificates(Check_Kind::State_Check, TLS_Known_Cert::Data_Rows + 1, TLS_Known_Cert::Columns);
    TLS_Known_Cert::Init_Table(Certificates);
    TLS_Known_Cert::Load(F.Space.File_TLS_Known_Cert, Certificates);
    for (int Row = 1; Row <= std::min<int>(P.Known_Cert.size(), TLS_Known_Cert::Data_Rows); ++Row)
        QCOMPARE(Certificates.Cell(Row, TLS_Known_Cert::Col_Certificate), P.Known_Cert[Row - 1].Certificate);
}

void Test_Bad_Input::Odd_Characters_data()
{
    QTest::addColumn<QByteArray>("Raw");
    QTest::newRow("emoji") << QByteArray("a\xF0\x9F\x98\x80z");
    QTest::newRow("emoji by reference") << QByteArray("a&#x1F600;z");
    QTest::newRow("surrogate pair by references") << QByteArray("a&#xD83D;&#xDE00;z");
    QTest::newRow("lone high surrogate by reference") << QByteArray("a&#xD800;z");
    QTest::newRow("lone low surrogate by reference") << QByteArray("a&#xDFFF;z");
    QTest::newRow("lone surrogate as bytes") << QByteArray("a\xED\xA0\x80z");
    QTest::newRow("invalid byte") << QByteArray("a\xFF\xFEz");
    QTest::newRow("cut sequence") << QByteArray("a\xE2\x82");
    QTest::newRow("overlong NUL") << QByteArray("a\xC0\x80z");
    QTest::newRow("control character") << QByteArray("a&#1;b&#x1B;z");
    QTest::newRow("non-characters") << QByteArray("a&#xFFFE;&#xFFFF;z");
    QTest::newRow("beyond Unicode") << QByteArray("a&#x110000;z");
    QTest::newRow("markup characters") << QByteArray("&lt;&amp;&quot;&apos;&gt;\t\r\n]]&gt;");
    QTest::newRow("only blanks") << QByteArray("   ");
}

void Test_Bad_Input::Odd_Characters()
{
    QFETCH(QByteArray, Raw);
    Readers_Fixture F;
    // The text goes into every string the compiler writes and into the name of station.
    QMap<QByteArray, QByteArray> Texts;
    for (const char* Element : {"IEC61850_Server_Password", "TLS_Server_Key", "TLS_Server_Key_Password",
                                "TLS_Server_Server_Certificate", "TLS_Server_Root_Certificate", "PROFINET_NAME_STA"})
        Texts[Element] = Raw;
    Texts["TLS_Server_Enable"] = "1";
    Texts["TLS_Server_Enable_Known_Cert"] = "1";
    F.Put(File_Kind::ParGen, Raw_ParGen(Texts));
    F.Put(File_Kind::Variables, Raw_Rows("IEC61850_Variables",
                                         "Enable=\"Y\" Name=\"" + Raw + "\" Type=\"" + Raw + "\" Length=\"" + Raw
                                             + "\" Mnemonic=\"" + Raw + "\" MultiplicationFactor=\"" + Raw + "\"",
                                         3));
    F.Put(File_Kind::Known_Cert,
          Raw_Rows("TLS_Server_Known_Cert", "Enable=\"Y\" Certificate=\"" + Raw + "\" Mnemonic=\"" + Raw + "\"", 3));

    for (File_Kind Kind : {File_Kind::ParGen, File_Kind::Variables, File_Kind::Known_Cert}) {
        bool Malformed = false;
        const QString Fault = F.Run_Readers(Kind, &Malformed);
        QVERIFY2(Fault.isEmpty(), qPrintable(Fault));
        if (Malformed)
            return; // a text the parser refuses stops every reader alike
    }
    QCOMPARE(F.Image.Create_Bin(), Configuration_Image::Compile_Result::Compiled);
    // The compiler reads what the editor shows.
    const Par_Gen::Values Values = Par_Gen::Load(F.Space.File_ParGen);
    const TIEC61850& Server = F.Image.IEC61850_Image;
    QCOMPARE(Server.TLS_Data.key, Values[Par_Gen::TLS_Server_Key]);
    QCOMPARE(Server.Password, Values[Par_Gen::IEC61850_Server_Password]);
    QCOMPARE(Server.TLS_Data.Key_Length, static_cast<quint32>(Server.TLS_Data.key.toUtf8().size()) + 1);
    QCOMPARE(Server.Variables.size(), 3);
    QCOMPARE(Server.TLS_Data.Known_Cert.size(), 3);
}

// Texts that reach the model from an editor's cells may hold lone surrogates;
// their byte counts must still be the bytes written.
void Test_Bad_Input::Lone_Surrogates_In_The_Model()
{
    Readers_Fixture F;
    F.Image.Default_Par_Block();
    F.Image.Init_IEC61850_Image();
    const QString Lone_High = QStringLiteral("k") + QChar(0xD800) + QStringLiteral("x");
    const QString Lone_Low = QString(QChar(0xDC00)) + QStringLiteral("y");
    const QString Reversed = QString(QChar(0xDE00)) + QChar(0xD83D);
    const QString Trailing_High = QStringLiteral("z") + QChar(0xD83D);
    TIEC61850& Server = F.Image.IEC61850_Image;
    Server.TLS_Enable = 1;
    Server.TLS_Data.Known_Cert_En = 1;
    Server.Password = Reversed;
    Server.TLS_Data.key = Lone_High;
    Server.TLS_Data.Key_Length = Utf8_Length(Lone_High) + 1;
    Server.TLS_Data.Key_Password = Lone_Low;
    for (TTLS_Certificate* Cert : {&Server.TLS_Data.Server_Cert, &Server.TLS_Data.Root_Cert}) {
        Cert->Certificate = Trailing_High;
        Cert->Certificate_Length = Utf8_Length(Trailing_High) + 1;
    }
    for (const QString& Text : {Lone_High, Lone_Low, Reversed, Trailing_High}) {
        Server.TLS_Data.Known_Cert.append({Text, 0, Utf8_Length(Text) + 1});
        TIEC61850_Var Var;
        Var.Name = Text;
        Server.Variables.append(Var);
    }
    Server.TLS_Data.Known_Cert_Num = 4;
    Server.Var_Number = 4;
    const std::optional<quint32> End = F.Image.Build_Data_Area(Base, 0, F.Image.Bank2_Buffer, 0x7FFFF);
    QVERIFY(End);
    F.Image.Bank2_Length = *End;
    const QString Fault = Check_Bank2(F.Image);
    QVERIFY2(Fault.isEmpty(), qPrintable(Fault));
    QCOMPARE(Configuration_Image::Write_UTF8_String(Lone_High, 0, F.Image.Bank2_Buffer), Utf8_Length(Lone_High) + 1);
}

QTEST_GUILESS_MAIN(Test_Bad_Input)
#include "test_bad_input.moc"

#include "review/Configuration_Diff.h"

#include "certificates/Crypto_Module.h"
#include "certificates/Pem_Contents.h"
#include "foundation/Workspace.h"
#include "image/Configuration_Image.h"
#include "platform/File_Read.h"
#include "platform/Xml_File.h"
#include "project/Configuration.h"
#include "project/Known_Cert_File.h"
#include "project/Par_Gen_File.h"
#include "project/Variables_File.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <functional>
#include <memory>
#include <stdexcept>

namespace Review {

namespace {

const QString& ParGen_Name = Project_File_Name::ParGen;
const QString& Variables_Name = Project_File_Name::IEC61850_Variables;
const QString& Known_Name = Project_File_Name::TLS_Known_Cert;

QString Absent() { return QStringLiteral("(absent)"); }

// One configuration as opened, compiled as the compiler compiles it.
struct Side {
    Configuration Opened;
    std::unique_ptr<Configuration_Image> Image;

    const Active_Project& Files() const { return Opened.Files; }
    const Par_Gen::Stored& Par() const { return *Opened.General; }
    const List_File::Stored& Variables() const { return *Opened.Variables; }
    const List_File::Stored& Known() const { return *Opened.Known_Certificates; }
    const Par_Block& Block() const { return Image->Param_Block; }
    const TIEC61850& Server() const { return Image->IEC61850_Image; }
};

std::unique_ptr<Side> Read_Side(const QString& Dir, Decimal_Separator& Separator)
{
    auto Opened = Open_Configuration(Dir);
    if (!Opened)
        throw Opened.error();
    // A file that is not well-formed gives nothing to compare.
    if (const std::optional<Read_Failure> Malformed = Opened->First_Malformed())
        throw *Malformed;
    auto Read = std::make_unique<Side>();
    Read->Opened = std::move(*Opened);
    Read->Image = std::make_unique<Configuration_Image>(Read->Opened.Files, &Separator);
    // The model the device is given; a data area too large for the device
    // still leaves every value read.
    Read->Image->Create_Bin(Read->Opened);
    return Read;
}

QString Sha256_Hex_Pairs(const QByteArray& Data)
{
    const QByteArray Hex = QCryptographicHash::hash(Data, QCryptographicHash::Sha256).toHex().toUpper();
    QStringList Pairs;
    for (qsizetype I = 0; I < Hex.size(); I += 2)
        Pairs.append(QString::fromLatin1(Hex.mid(I, 2)));
    return Pairs.join(QLatin1Char(':'));
}

// ---- general parameters ----------------------------------------------------

using Value_Of = std::function<QByteArray(const Side&)>;

QByteArray Bytes_Of(const Par_Block& Block, quint32 Offset, quint32 Size)
{
    return QByteArray(reinterpret_cast<const char*>(Block.Data()) + Offset, Size);
}

QByteArray Number(quint64 Value) { return QByteArray::number(Value); }

bool Gateway_On(const Side& S)
{
    return Bytes_Of(S.Block(), Par_Block_Field::Pn_Gateway, 4) != QByteArray(4, char(0xFF));
}

bool Diagnostic_On(const Side& S) { return S.Block().U32(Par_Block_Field::Pn_Diag_Address) != 0; }

// An element that only counts while its switch is on in both: the gateway's
// octets and the diagnostic address. Where the switch differs, the switch is
// the difference.
bool Counts_In_Both(int Element, const Side& A, const Side& B)
{
    using namespace Par_Gen;
    if (Element >= PROFINET_GAT1 && Element <= PROFINET_GAT4)
        return Gateway_On(A) && Gateway_On(B);
    if (Element == PROFINET_DIAGNOSTIC_ADDRESS)
        return Diagnostic_On(A) && Diagnostic_On(B);
    return true;
}

// What the device receives of one element of the general parameters.
Value_Of Device_Value(int Element)
{
    using namespace Par_Gen;
    namespace F = Par_Block_Field;
    switch (Element) {
    case IEC61850_Server_Port: return [](const Side& S) { return Number(S.Server().port); };
    case IEC61850_Server_Password: return [](const Side& S) { return S.Server().Password.toUtf8(); };
    case TLS_Server_Enable: return [](const Side& S) { return Number(S.Server().TLS_Enable); };
    case TLS_Server_Key: return [](const Side& S) { return S.Server().TLS_Data.key.toUtf8(); };
    case TLS_Server_Key_Password: return [](const Side& S) { return S.Server().TLS_Data.Key_Password.toUtf8(); };
    case TLS_Server_Server_Certificate:
        return [](const Side& S) { return S.Server().TLS_Data.Server_Cert.Certificate.toUtf8(); };
    case TLS_Server_Root_Certificate:
        return [](const Side& S) { return S.Server().TLS_Data.Root_Cert.Certificate.toUtf8(); };
    case TLS_Server_Enable_Known_Cert: return [](const Side& S) { return Number(S.Server().TLS_Data.Known_Cert_En); };
    case PROFINET_EN_GAT:
        // Off is the gateway 255.255.255.255, which is also what "on" with that address gives.
        return [](const Side& S) { return Number(Gateway_On(S) ? 1 : 0); };
    case PROFINET_PORT: return [](const Side& S) { return Number(S.Block().U16(F::Pn_Port)); };
    case PROFINET_NAME_STA:
        return [](const Side& S) { return Bytes_Of(S.Block(), F::Pn_Station_Name, F::Pn_Station_Name_Size); };
    case PROFINET_NB_IN: return [](const Side& S) { return Number(S.Block().U32(F::Pn_Bytes_In)); };
    case PROFINET_NB_OUT: return [](const Side& S) { return Number(S.Block().U32(F::Pn_Bytes_Out)); };
    // The field holds the address + 1, or 0 for off (also when on without an address).
    case PROFINET_ENABLE_DIAGNOSTIC: return [](const Side& S) { return Number(Diagnostic_On(S) ? 1 : 0); };
    case PROFINET_DIAGNOSTIC_ADDRESS: return [](const Side& S) { return Number(S.Block().U32(F::Pn_Diag_Address)); };
    default: break;
    }
    if (Element >= PROFINET_IP1 && Element <= PROFINET_IP4)
        return [Element](const Side& S) { return Number(S.Block().U8(F::Pn_IP_Address + quint32(Element - PROFINET_IP1))); };
    if (Element >= PROFINET_SM1 && Element <= PROFINET_SM4)
        return [Element](const Side& S) { return Number(S.Block().U8(F::Pn_Subnet_Mask + quint32(Element - PROFINET_SM1))); };
    if (Element >= PROFINET_GAT1 && Element <= PROFINET_GAT4)
        return [Element](const Side& S) { return Number(S.Block().U8(F::Pn_Gateway + quint32(Element - PROFINET_GAT1))); };
    return [](const Side&) { return QByteArray(); };
}

// The element as a person is shown it: its text, but a secret only as set
// or not and a key or certificate by its fingerprint.
QString Shown_Text(const Side& S, const Side& Other, int Element)
{
    using namespace Par_Gen;
    const std::optional<QString>& Text = S.Par()[Element];
    switch (Element) {
    case IEC61850_Server_Password:
    case TLS_Server_Key_Password: {
        const auto Is_Set = [Element](const Side& Of) {
            return Element == IEC61850_Server_Password ? !Of.Server().Password.isEmpty()
                                                       : !Of.Server().TLS_Data.Key_Password.isEmpty();
        };
        if (!Is_Set(S))
            return QStringLiteral("(not set)");
        // Both set and different: that they differ is all that is told.
        return Is_Set(Other) ? QStringLiteral("(set, differs)") : QStringLiteral("(set)");
    }
    case TLS_Server_Key:
        return Pem_Identity(S.Files().File_ParGen, S.Server().TLS_Data.key, S.Server().TLS_Data.Key_Password);
    case TLS_Server_Server_Certificate:
        return Pem_Identity(S.Files().File_ParGen, S.Server().TLS_Data.Server_Cert.Certificate);
    case TLS_Server_Root_Certificate: return Pem_Identity(S.Files().File_ParGen, S.Server().TLS_Data.Root_Cert.Certificate);
    default: break;
    }
    return Text ? *Text : Absent();
}

void Compare_General(const Side& A, const Side& B, QList<Difference>& Out)
{
    for (int Element = 0; Element < Par_Gen::Element_Count; ++Element) {
        const Value_Of Value = Device_Value(Element);
        if (!Counts_In_Both(Element, A, B) || Value(A) == Value(B))
            continue;
        Out.append({ParGen_Name, QString::fromLatin1(Par_Gen::Info(Element).Name), Shown_Text(A, B, Element),
                    Shown_Text(B, A, Element)});
    }
}

// ---- variables ---------------------------------------------------------------

struct Variable_Row {
    int Row = 0;  // 1-based, in the file
    bool Enabled = false;
    QString Name;
    List_File::Stored_Row Stored;
    const TIEC61850_Var* Device = nullptr;  // the compiled variable when enabled
    int Order = -1;                          // its place among the device's variables
};

QList<Variable_Row> Variable_Rows(const Side& S)
{
    QList<Variable_Row> Rows;
    int Next = 0;
    for (qsizetype I = 0; I < S.Variables().Rows.size(); ++I) {
        const Variables_File::Row Item(S.Variables().Rows[I]);
        Variable_Row R;
        R.Row = static_cast<int>(I) + 1;
        R.Stored = S.Variables().Rows[I];
        R.Enabled = Item.Flag(Variables_File::Enable, List_File::Reader::Image);
        R.Name = Item.Text(Variables_File::Name, List_File::Reader::Image);
        // The compiler takes the enabled rows in file order.
        if (R.Enabled && Next < S.Server().Variables.size()) {
            R.Order = Next;
            R.Device = &S.Server().Variables[Next++];
        }
        Rows.append(R);
    }
    return Rows;
}

// The attributes the device reads, with the compiled value of each.
struct Variable_Attribute {
    int Attribute;
    std::function<quint64(const TIEC61850_Var&)> Value;
};

const QList<Variable_Attribute>& Device_Attributes()
{
    using namespace Variables_File;
    static const QList<Variable_Attribute> List = {
        {Type, [](const TIEC61850_Var& V) { return quint64{V.Data_Type}; }},
        {Length, [](const TIEC61850_Var& V) { return quint64{V.Length}; }},
        {ReadOnly, [](const TIEC61850_Var& V) { return quint64{V.Read_Only}; }},
        {Position, [](const TIEC61850_Var& V) { return quint64{V.Position}; }},
        {StartBit, [](const TIEC61850_Var& V) { return quint64{V.Start_Bit}; }},
        {Conversion, [](const TIEC61850_Var& V) { return quint64{V.Operation}; }},
        {MultiplicationFactor,
         [](const TIEC61850_Var& V) { return quint64{std::bit_cast<quint32>(V.Multiplication_Factor)}; }},
        {Swap, [](const TIEC61850_Var& V) { return quint64{V.Options & 1U}; }},
        {SwapWord, [](const TIEC61850_Var& V) { return quint64{V.Options & 2U}; }},
    };
    return List;
}

QString Stored_Text(const Variable_Row& R, int Attribute)
{
    const std::optional<QString>& Value = R.Stored.Values.value(Attribute);
    return Value ? *Value : Absent();
}

QString Row_Text(int Row) { return QStringLiteral("row %1").arg(Row); }

// A variable's description as the editor shows it: an absent one is empty.
QString Description(const List_File::Stored_Row& Stored)
{
    return Variables_File::Row(Stored).Text(Variables_File::Mnemonic, List_File::Reader::Editor);
}

// Positions in Sequence of a longest common subsequence of Sequence and Other.
QList<bool> In_Common_Order(const QList<int>& Sequence, const QList<int>& Other)
{
    const qsizetype N = Sequence.size();
    const qsizetype M = Other.size();
    QList<QList<int>> L(N + 1, QList<int>(M + 1, 0));
    for (qsizetype I = N - 1; I >= 0; --I)
        for (qsizetype J = M - 1; J >= 0; --J)
            L[I][J] = Sequence[I] == Other[J] ? L[I + 1][J + 1] + 1 : std::max(L[I + 1][J], L[I][J + 1]);
    QList<bool> Kept(N, false);
    qsizetype I = 0;
    qsizetype J = 0;
    while (I < N && J < M) {
        if (Sequence[I] == Other[J]) {
            Kept[I] = true;
            ++I;
            ++J;
        } else if (L[I + 1][J] >= L[I][J + 1]) {
            ++I;
        } else {
            ++J;
        }
    }
    return Kept;
}

void Compare_Variables(const Side& A, const Side& B, QList<Difference>& Out)
{
    const QList<Variable_Row> Rows_A = Variable_Rows(A);
    const QList<Variable_Row> Rows_B = Variable_Rows(B);
    // The n-th row of a name in A goes with the n-th of that name in B.
    QHash<QString, QList<int>> Of_Name_B;
    for (qsizetype J = 0; J < Rows_B.size(); ++J)
        Of_Name_B[Rows_B[J].Name].append(static_cast<int>(J));
    QList<int> Partner(Rows_A.size(), -1);
    QList<bool> Matched_B(Rows_B.size(), false);
    for (qsizetype I = 0; I < Rows_A.size(); ++I) {
        QList<int>& Candidates = Of_Name_B[Rows_A[I].Name];
        if (!Candidates.isEmpty()) {
            Partner[I] = Candidates.takeFirst();
            Matched_B[Partner[I]] = true;
        }
    }

    // Moved: pairs both sent to the device whose order relative to the
    // other such pairs changed. Pair k is numbered by its place in A.
    QList<int> Pairs_In_A;  // index into Rows_A, in A's device order
    for (qsizetype I = 0; I < Rows_A.size(); ++I)
        if (Partner[I] >= 0 && Rows_A[I].Device && Rows_B[Partner[I]].Device)
            Pairs_In_A.append(static_cast<int>(I));
    QList<int> Pairs_In_B = Pairs_In_A;
    std::sort(Pairs_In_B.begin(), Pairs_In_B.end(),
              [&](int X, int Y) { return Rows_B[Partner[X]].Order < Rows_B[Partner[Y]].Order; });
    const QList<bool> Stayed = In_Common_Order(Pairs_In_A, Pairs_In_B);
    QSet<int> Moved;
    for (qsizetype K = 0; K < Pairs_In_A.size(); ++K)
        if (!Stayed[K])
            Moved.insert(Pairs_In_A[K]);

    const auto Item = [](const QString& Name, const QString& What = {}) {
        return QStringLiteral("variable %1").arg(Name) + (What.isEmpty() ? QString() : QStringLiteral(": ") + What);
    };
    for (qsizetype I = 0; I < Rows_A.size(); ++I) {
        const Variable_Row& RA = Rows_A[I];
        if (Partner[I] < 0) {
            if (RA.Enabled)
                Out.append({Variables_Name, Item(RA.Name), Row_Text(RA.Row), Absent()});
            continue;
        }
        const Variable_Row& RB = Rows_B[Partner[I]];
        if (Description(RA.Stored) != Description(RB.Stored))
            Out.append({Variables_Name, Item(RA.Name, QString::fromLatin1(List_File::Mnemonic_Name)),
                        Stored_Text(RA, Variables_File::Mnemonic), Stored_Text(RB, Variables_File::Mnemonic), false});
        if (!RA.Enabled && !RB.Enabled)
            continue;
        if (RA.Enabled != RB.Enabled) {
            Out.append({Variables_Name, Item(RA.Name, QString::fromLatin1(List_File::Enable_Name)),
                        Stored_Text(RA, Variables_File::Enable), Stored_Text(RB, Variables_File::Enable)});
            continue;
        }
        if (Moved.contains(static_cast<int>(I)))
            Out.append({Variables_Name, Item(RA.Name, QStringLiteral("moved")), Row_Text(RA.Row), Row_Text(RB.Row)});
        if (!RA.Device || !RB.Device)
            continue;
        for (const Variable_Attribute& Attribute : Device_Attributes())
            if (Attribute.Value(*RA.Device) != Attribute.Value(*RB.Device))
                Out.append({Variables_Name,
                            Item(RA.Name, QString::fromLatin1(Variables_File::Info(Attribute.Attribute).Name)),
                            Stored_Text(RA, Attribute.Attribute), Stored_Text(RB, Attribute.Attribute)});
    }
    for (qsizetype J = 0; J < Rows_B.size(); ++J)
        if (!Matched_B[J] && Rows_B[J].Enabled)
            Out.append({Variables_Name, Item(Rows_B[J].Name), Absent(), Row_Text(Rows_B[J].Row)});
}

// ---- known certificates ---------------------------------------------------

struct Known_Entry {
    QString Fingerprint;
    bool Enabled = false;
    int Row = 0;
    QString Mnemonic;          // as the editor shows it
    QString Stored_Mnemonic;   // as the file holds it
};

QList<Known_Entry> Known_Entries(const Side& S)
{
    QList<Known_Entry> Entries;
    for (qsizetype I = 0; I < S.Known().Rows.size(); ++I) {
        const Known_Cert_File::Row Item(S.Known().Rows[I]);
        Known_Entry E;
        E.Row = static_cast<int>(I) + 1;
        E.Enabled = Item.Flag(Known_Cert_File::Enable, List_File::Reader::Image);
        E.Mnemonic = Item.Text(Known_Cert_File::Mnemonic, List_File::Reader::Editor);
        const std::optional<QString>& Stored = S.Known().Rows[I].Values.value(Known_Cert_File::Mnemonic);
        E.Stored_Mnemonic = Stored ? *Stored : Absent();
        E.Fingerprint =
            Pem_Identity(S.Files().File_TLS_Known_Cert, Item.Text(Known_Cert_File::Certificate, List_File::Reader::Image));
        Entries.append(E);
    }
    return Entries;
}

// The list is written to the device only when TLS and the list are enabled.
bool Known_List_Sent(const Side& S)
{
    return S.Server().TLS_Enable == 1 && S.Server().TLS_Data.Known_Cert_En == 1;
}

void Compare_Known(const Side& A, const Side& B, QList<Difference>& Out)
{
    // The list is given to the device only while it is in force; the
    // descriptions are never given to it, but are told all the same.
    const bool Sent = Known_List_Sent(A) || Known_List_Sent(B);
    const QList<Known_Entry> In_A = Known_Entries(A);
    QList<Known_Entry> In_B = Known_Entries(B);
    QList<bool> Matched(In_B.size(), false);
    const auto State = [](const Known_Entry& E) {
        return QStringLiteral("%1, %2").arg(Row_Text(E.Row), E.Enabled ? QStringLiteral("enabled") : QStringLiteral("disabled"));
    };
    const auto Item = [](const QString& Fingerprint) { return QStringLiteral("certificate %1").arg(Fingerprint); };
    for (const Known_Entry& E : In_A) {
        qsizetype Found = -1;
        for (qsizetype J = 0; J < In_B.size() && Found < 0; ++J)
            if (!Matched[J] && In_B[J].Fingerprint == E.Fingerprint)
                Found = J;
        if (Found < 0) {
            if (Sent && E.Enabled)
                Out.append({Known_Name, Item(E.Fingerprint), State(E), Absent()});
            continue;
        }
        Matched[Found] = true;
        const Known_Entry& F = In_B[Found];
        if (Sent && E.Enabled != F.Enabled)
            Out.append({Known_Name, Item(E.Fingerprint), State(E), State(F)});
        if (E.Mnemonic != F.Mnemonic)
            Out.append({Known_Name, Item(E.Fingerprint) + QStringLiteral(": ") + QString::fromLatin1(List_File::Mnemonic_Name),
                        E.Stored_Mnemonic, F.Stored_Mnemonic, false});
    }
    if (!Sent)
        return;
    for (qsizetype J = 0; J < In_B.size(); ++J)
        if (!Matched[J] && In_B[J].Enabled)
            Out.append({Known_Name, Item(In_B[J].Fingerprint), Absent(), State(In_B[J])});
}

} // namespace

QString Pem_Identity(const QString& File, const QString& Pem, const QString& Password)
{
    if (Pem.trimmed().isEmpty())
        return QStringLiteral("(none)");
    const Certificates::Pem_Reading Read = Certificates::Read_Pem(Pem, Password);
    // Unread, two copies of one certificate would differ by their texts.
    if (!Read) {
        Lang_Table English;
        English.Create_Default_Strings();
        throw Read_Failure{File, Certificates::Crypto_Missing_Text(Read.error(), English)};
    }
    const Certificates::Pem_Contents& Found = *Read;
    if (!Found.Certificates.isEmpty())
        return QStringLiteral("SHA-256 ") + Found.Certificates.first().Fingerprint;
    for (const auto& Key : Found.Keys)
        if (Key.Opened && !Key.Public_Key.isEmpty())
            return QStringLiteral("key SHA-256 ") + Sha256_Hex_Pairs(Key.Public_Key);
    return QStringLiteral("text SHA-256 ") + Sha256_Hex_Pairs(Pem.toUtf8());
}

std::expected<QList<Difference>, Read_Failure> Compare(const QString& Dir_A, const QString& Dir_B,
                                                       Decimal_Separator& Separator)
{
    try {
        const std::unique_ptr<Side> A = Read_Side(Dir_A, Separator);
        const std::unique_ptr<Side> B = Read_Side(Dir_B, Separator);
        QList<Difference> Differences;
        Compare_General(*A, *B, Differences);
        Compare_Variables(*A, *B, Differences);
        Compare_Known(*A, *B, Differences);
        return Differences;
    } catch (const Read_Failure& Failure) {
        return std::unexpected(Failure);
    }
}

QString Difference_Line(const Difference& Item, const Lang_Table& Lang)
{
    const QString Line = QStringLiteral("%1: %2: %3 -> %4").arg(Item.File, Item.Item, Item.A, Item.B);
    return Item.Sent_To_Device ? Line : Line + QStringLiteral(" ") + Lang[Diff_Text::Not_Sent];
}

bool Same_Device_Configuration(const QList<Difference>& Differences)
{
    return std::none_of(Differences.begin(), Differences.end(), [](const Difference& D) { return D.Sent_To_Device; });
}

QByteArray Differences_Json(const QString& Dir_A, const QString& Dir_B, const QList<Difference>& Differences)
{
    QJsonArray List;
    for (const Difference& D : Differences)
    {
        QJsonObject Entry{{QStringLiteral("file"), D.File},
                          {QStringLiteral("item"), D.Item},
                          {QStringLiteral("a"), D.A},
                          {QStringLiteral("b"), D.B}};
        // A description: told, but the device is given nothing of it.
        if (!D.Sent_To_Device)
            Entry.insert(QStringLiteral("sent_to_device"), false);
        List.append(Entry);
    }
    const QJsonObject Root{{QStringLiteral("a"), QDir::toNativeSeparators(QDir(Dir_A).absolutePath())},
                           {QStringLiteral("b"), QDir::toNativeSeparators(QDir(Dir_B).absolutePath())},
                           {QStringLiteral("differences"), List}};
    return QJsonDocument(Root).toJson(QJsonDocument::Indented);
}

} // namespace Review

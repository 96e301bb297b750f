#include "certificates/Certificate_Checks.h"

#include "certificates/Certificate_Texts.h"
#include "certificates/Crypto_Module.h"
#include "certificates/Pem_Contents.h"
#include "foundation/Text_Rules.h"
#include "project/Known_Cert_File.h"

#include <QHash>

#include <utility>

namespace Certificates {

namespace {

struct Collector {
    const Lang_Table& Lang;
    QList<Finding> Found;

    void Add(Problem What, Severity Level, Place Where, int Row, const QString& Text)
    {
        Found.append({What, Level, Where, Row, Text});
    }
};

QString Field_Name(Place Where, const Lang_Table& Lang)
{
    switch (Where) {
    case Place::Key: return Lang[Text_Slot::Key_Label];
    case Place::Key_Password: return Lang[Text_Slot::Key_Password_Label];
    case Place::Server_Certificate: return Lang[Text_Slot::Server_Certificate_Label];
    case Place::Root_Certificate: return Lang[Text_Slot::Root_Certificate_Label];
    case Place::Enable_Known_Cert: return Lang[Text_Slot::Enable_Known_Cert_Label];
    case Place::Known_Row: break;
    }
    return {};
}

QString Row_Name(int Row, const QString& Mnemonic, const Lang_Table& Lang)
{
    const QString Name = Lang[Text_Slot::Row_Name].arg(Row);
    const QString Described = Mnemonic.simplified();
    return Described.isEmpty() ? Name : Name + QStringLiteral(" (") + Described + u')';
}

// What a box holds instead, for a message that refuses it.
QString With_Detail(const QString& Text, const Pem_Contents& Found, const QDateTime& Now, const Lang_Table& Lang)
{
    const QString Detail = Found.Usable() ? Summary(Found, Now, Lang) : Found.Error;
    return Detail.isEmpty() ? Text : Text + QStringLiteral(" (") + Detail + u')';
}

void Check_Dates(const Certificate_Info& Certificate, Place Where, int Row, const QString& Name,
                 const QDateTime& Now, Collector& Out)
{
    const QString Subject = Display_Name(Certificate);
    if (Certificate.Not_After < Now)
        Out.Add(Problem::Expired, Severity::Warning, Where, Row,
                Out.Lang[Text_Slot::Has_Expired].arg(Name, Subject, Date_Text(Certificate.Not_After)));
    else if (Certificate.Not_Before > Now)
        Out.Add(Problem::Not_Yet_Valid, Severity::Warning, Where, Row,
                Out.Lang[Text_Slot::Not_Yet_Valid].arg(Name, Subject, Date_Text(Certificate.Not_Before)));
    else if (Certificate.Not_After <= Now.addDays(Expiry_Warning_Days))
        Out.Add(Problem::Expires_Soon, Severity::Warning, Where, Row,
                Out.Lang[Text_Slot::Expires_Soon].arg(Name, Subject, Date_Text(Certificate.Not_After)));
}

// Whether the first certificate of Chain leads, through the others, to one of
// Roots. Dates are left to their own warnings; a root box may hold the
// issuing intermediate rather than the self-signed top.
bool Chains_To(const QList<Certificate_Info>& Chain, const QList<Certificate_Info>& Roots, QString& Reason,
               const Lang_Table& Lang)
{
    const auto Reader = Crypto();
    if (!Reader) {
        Reason = Crypto_Missing_Text(Reader.error(), Lang);
        return false;
    }
    return (*Reader)->Chains_To(Chain, Roots, Reason);
}

// A certificate box: text that is no certificate, or that carries a private
// key to where only public material belongs, is refused.
void Check_Certificate_Box(const Pem_Contents& Found, Place Where, const QDateTime& Now, Collector& Out)
{
    const QString Name = Field_Name(Where, Out.Lang);
    if (Found.Blank)
        Out.Add(Problem::Empty_Box, Severity::Warning, Where, 0, Out.Lang[Text_Slot::Empty_Box].arg(Name));
    else if (!Found.Keys.isEmpty())
        Out.Add(Problem::Key_In_Certificate_Box, Severity::Blocking, Where, 0,
                Out.Lang[Text_Slot::Key_In_Certificate_Box].arg(Name));
    else if (Found.Certificates.isEmpty())
        Out.Add(Problem::No_Certificate, Severity::Blocking, Where, 0,
                With_Detail(Out.Lang[Text_Slot::No_Certificate].arg(Name), Found, Now, Out.Lang));
}

bool Has_Enabled(const QList<Known_Certificate>& Rows)
{
    return std::any_of(Rows.begin(), Rows.end(),
                       [](const Known_Certificate& Row) { return Row.Enabled && !Trimmed(Row.Certificate).isEmpty(); });
}

} // namespace

QList<Finding> Check_Server(const Server_Material& Material, const QList<Known_Certificate>& Known,
                            const QDateTime& Now, const Lang_Table& Lang)
{
    Pem_Reader Reader;
    return Check_Server(Material, Known, Now, Lang, Reader);
}

QList<Finding> Check_Server(const Server_Material& Material, const QList<Known_Certificate>& Known,
                            const QDateTime& Now, const Lang_Table& Lang, Pem_Reader& Reader)
{
    if (!Material.TLS_Enabled)
        return {};
    Collector Out{Lang, {}};
    const Pem_Reading Key_Read = Reader.Read(Material.Key, Material.Key_Password);
    const Pem_Reading Server_Read = Reader.Read(Material.Server_Certificate);
    const Pem_Reading Root_Read = Reader.Read(Material.Root_Certificate);
    // Without the reader nothing can be told about any box: that is the one
    // finding, at the first box it could not read.
    for (const auto& [Where, Found] : {std::pair{Place::Key, &Key_Read}, std::pair{Place::Server_Certificate, &Server_Read},
                                       std::pair{Place::Root_Certificate, &Root_Read}})
        if (!*Found) {
            Out.Add(Problem::Reader_Missing, Severity::Blocking, Where, 0,
                    Field_Name(Where, Lang) + QStringLiteral(": ") + Crypto_Missing_Text(Found->error(), Lang));
            return Out.Found;
        }
    const Pem_Contents& Key = *Key_Read;
    const Pem_Contents& Server = *Server_Read;
    const Pem_Contents& Root = *Root_Read;

    const QString Key_Name = Field_Name(Place::Key, Lang);
    const Private_Key_Info* Opened_Key = nullptr;
    if (Key.Blank) {
        Out.Add(Problem::Empty_Box, Severity::Warning, Place::Key, 0, Lang[Text_Slot::Empty_Box].arg(Key_Name));
    } else if (Key.Keys.isEmpty()) {
        Out.Add(Problem::No_Private_Key, Severity::Blocking, Place::Key, 0,
                With_Detail(Lang[Text_Slot::No_Private_Key].arg(Key_Name), Key, Now, Lang));
    } else if (Key.Keys.size() > 1) {
        Out.Add(Problem::Several_Private_Keys, Severity::Blocking, Place::Key, 0,
                Lang[Text_Slot::Several_Private_Keys].arg(Key_Name));
    } else if (!Key.Keys.constFirst().Opened) {
        QString Text = Lang[Text_Slot::Key_Password_Wrong].arg(Field_Name(Place::Key_Password, Lang));
        if (const QString Reason = Key.Keys.constFirst().Error; !Reason.isEmpty())
            Text += QStringLiteral(" (") + Reason + u')';
        Out.Add(Problem::Key_Password_Wrong, Severity::Blocking, Place::Key_Password, 0, Text);
    } else {
        Opened_Key = &Key.Keys.constFirst();
    }
    if (Opened_Key && !Server.Certificates.isEmpty()
        && Opened_Key->Public_Key != Server.Certificates.constFirst().Public_Key)
        Out.Add(Problem::Key_Mismatch, Severity::Warning, Place::Key, 0, Lang[Text_Slot::Key_Mismatch].arg(Key_Name));

    Check_Certificate_Box(Server, Place::Server_Certificate, Now, Out);
    const QString Server_Name = Field_Name(Place::Server_Certificate, Lang);
    if (Server.Keys.isEmpty() && !Server.Certificates.isEmpty()) {
        QString Reason;
        if (Root.Keys.isEmpty() && !Root.Certificates.isEmpty() && !Chains_To(Server.Certificates, Root.Certificates, Reason, Lang))
            Out.Add(Problem::Not_Signed_By_Root, Severity::Warning, Place::Server_Certificate, 0,
                    Lang[Text_Slot::Not_Signed_By_Root].arg(Server_Name) + QStringLiteral(" (") + Reason + u')');
        for (const Certificate_Info& Certificate : Server.Certificates)
            Check_Dates(Certificate, Place::Server_Certificate, 0, Server_Name, Now, Out);
    }

    Check_Certificate_Box(Root, Place::Root_Certificate, Now, Out);
    if (Root.Keys.isEmpty())
        for (const Certificate_Info& Certificate : Root.Certificates)
            Check_Dates(Certificate, Place::Root_Certificate, 0, Field_Name(Place::Root_Certificate, Lang), Now, Out);

    if (Material.Only_Known && !Has_Enabled(Known))
        Out.Add(Problem::No_Enabled_Known, Severity::Warning, Place::Enable_Known_Cert, 0,
                Lang[Text_Slot::No_Enabled_Known].arg(Field_Name(Place::Enable_Known_Cert, Lang)));
    return Out.Found;
}

QList<Finding> Check_Known_List(const QList<Known_Certificate>& Rows, bool Only_Known_In_Force,
                                const QDateTime& Now, const Lang_Table& Lang)
{
    Pem_Reader Reader;
    return Check_Known_List(Rows, Only_Known_In_Force, Now, Lang, Reader);
}

QList<Finding> Check_Known_List(const QList<Known_Certificate>& Rows, bool Only_Known_In_Force,
                                const QDateTime& Now, const Lang_Table& Lang, Pem_Reader& Reader)
{
    Collector Out{Lang, {}};
    QHash<QString, int> First_Row_Of;  // fingerprint -> row
    for (qsizetype I = 0; I < Rows.size(); ++I) {
        const int Row = static_cast<int>(I) + 1;
        const Known_Certificate& Known = Rows[I];
        const QString Name = Row_Name(Row, Known.Mnemonic, Lang);
        const Pem_Reading Read = Reader.Read(Known.Certificate);
        if (!Read) {
            Out.Add(Problem::Reader_Missing, Severity::Blocking, Place::Known_Row, Row,
                    Name + QStringLiteral(": ") + Crypto_Missing_Text(Read.error(), Lang));
            return Out.Found;
        }
        const Pem_Contents& Found = *Read;
        if (!Found.Keys.isEmpty()) {
            Out.Add(Problem::Key_In_List, Severity::Blocking, Place::Known_Row, Row, Lang[Text_Slot::Key_In_List].arg(Name));
            continue;
        }
        if (!Found.Is_Single_Certificate()) {
            Out.Add(Problem::Not_Single_Certificate, Severity::Blocking, Place::Known_Row, Row,
                    With_Detail(Lang[Text_Slot::Not_Single_Certificate].arg(Name), Found, Now, Lang));
            continue;
        }
        const Certificate_Info& Certificate = Found.Certificates.constFirst();
        if (const auto Seen = First_Row_Of.constFind(Certificate.Fingerprint); Seen != First_Row_Of.cend())
            Out.Add(Problem::Listed_Twice, Severity::Warning, Place::Known_Row, Row,
                    Lang[Text_Slot::Listed_Twice].arg(Name, Row_Name(*Seen, Rows[*Seen - 1].Mnemonic, Lang)));
        else
            First_Row_Of.insert(Certificate.Fingerprint, Row);
        if (Known.Enabled)
            Check_Dates(Certificate, Place::Known_Row, Row, Name, Now, Out);
    }
    if (Only_Known_In_Force && !Has_Enabled(Rows))
        Out.Add(Problem::No_Enabled_Known, Severity::Warning, Place::Enable_Known_Cert, 0,
                Lang[Text_Slot::No_Enabled_Known].arg(Field_Name(Place::Enable_Known_Cert, Lang)));
    return Out.Found;
}

QList<Known_Certificate> Known_Certificates_Sent(const QString& Path)
{
    namespace K = Known_Cert_File;
    using List_File::Reader;
    QList<Known_Certificate> Rows;
    for (const List_File::Stored_Row& Stored : K::Read(Path).Rows) {
        const K::Row Item(Stored);
        Rows.append({Item.Flag(K::Enable, Reader::Image), Item.Text(K::Certificate, Reader::Image),
                     Item.Text(K::Mnemonic, Reader::Editor)});
    }
    return Rows;
}

std::optional<Finding> First_Blocking(const QList<Finding>& Findings)
{
    for (const Finding& One : Findings)
        if (One.Level == Severity::Blocking)
            return One;
    return std::nullopt;
}

QList<Finding> Warnings_Of(const QList<Finding>& Findings)
{
    QList<Finding> Result;
    for (const Finding& One : Findings)
        if (One.Level == Severity::Warning)
            Result.append(One);
    return Result;
}

QString Warnings_Question(const QList<Finding>& Warnings, int Intro_Slot, const Lang_Table& Lang)
{
    QStringList Lines{Lang[Intro_Slot]};
    for (const Finding& One : Warnings)
        Lines.append(QStringLiteral("- ") + One.Text);
    Lines.append(QString());
    Lines.append(Lang[Text_Slot::Save_Anyway]);
    return Lines.join(u'\n');
}

} // namespace Certificates

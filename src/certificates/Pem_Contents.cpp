#include "certificates/Pem_Contents.h"

#include "certificates/Certificate_Texts.h"
#include "certificates/Crypto_Module.h"

#include "platform/File_Read.h"

#include <QFileInfo>

namespace Certificates {

namespace {

QString Key_Text(const Key_Description& Key)
{
    if (Key.Type.isEmpty())
        return {};
    return Key.Bits > 0 ? Key.Type + u' ' + QString::number(Key.Bits) : Key.Type;
}

QString Validity_Text(const Certificate_Info& Certificate, const QDateTime& Now, const Lang_Table& Lang)
{
    if (Certificate.Not_After.isValid() && Certificate.Not_After < Now)
        return Lang[Text_Slot::Expired_On] + Date_Text(Certificate.Not_After);
    if (Certificate.Not_Before.isValid() && Certificate.Not_Before > Now)
        return Lang[Text_Slot::Not_Valid_Before] + Date_Text(Certificate.Not_Before);
    return Lang[Text_Slot::Valid_Until] + Date_Text(Certificate.Not_After);
}

QString Key_Summary(const Private_Key_Info& Key, bool Password_Given, const Lang_Table& Lang)
{
    QString Text = Key_Text(Key.Key);
    if (!Text.isEmpty())
        Text += u' ';
    Text += Lang[Text_Slot::Private_Key];
    if (Key.Encrypted)
        Text += QStringLiteral(", ") + Lang[Text_Slot::Encrypted];
    if (Key.Too_Costly)
        Text += QStringLiteral(", ") + Key.Error;
    else if (!Key.Opened && Password_Given)
        Text += QStringLiteral(", ") + Lang[Text_Slot::Password_Does_Not_Open];
    return Text;
}

} // namespace

QString Display_Name(const Certificate_Info& Certificate)
{
    return Certificate.Common_Name.isEmpty() ? Certificate.Subject : QStringLiteral("CN=") + Certificate.Common_Name;
}

QString Date_Text(const QDateTime& When) { return When.toUTC().date().toString(Qt::ISODate); }

Pem_Reading Read_Pem(const QString& Pem, const QString& Password)
{
    // A blank box needs no reader: a configuration without keys never loads it.
    if (Pem.trimmed().isEmpty())
        return Pem_Contents{};
    const auto Reader = Crypto();
    if (!Reader)
        return std::unexpected(Reader.error());
    return (*Reader)->Read_Pem(Pem, Password);
}

Pem_Reading Pem_Reader::Read(const QString& Pem, const QString& Password)
{
    const std::pair<QString, QString> Key{Pem, Password};
    if (const auto Before = Read_Before.constFind(Key); Before != Read_Before.cend())
        return *Before;
    Pem_Reading Found = Read_Text ? Read_Text(Pem, Password) : Read_Pem(Pem, Password);
    // A blank text costs nothing to read again; an unread one is not kept.
    if (Found && !Found->Blank)
        Read_Before.insert(Key, *Found);
    return Found;
}

QString Summary(const Pem_Contents& Found, const QDateTime& Now, const Lang_Table& Lang)
{
    if (Found.Blank)
        return {};
    if (!Found.Usable()) {
        // Blocks of another kind are named by their labels; what OpenSSL could
        // not read at all gets plain words, its reason being in the details.
        const bool Only_Other_Kinds = !Found.Other_Blocks.isEmpty() && Found.Unreadable_Blocks.isEmpty()
                                      && Found.Error == Found.Other_Blocks.join(QStringLiteral("; "));
        return Only_Other_Kinds ? Lang[Text_Slot::Not_A_Certificate] + Found.Error : Lang[Text_Slot::Not_Pem_Or_Der];
    }
    QStringList Parts;
    if (!Found.Certificates.isEmpty()) {
        const Certificate_Info& First = Found.Certificates.constFirst();
        QStringList Items{Display_Name(First), Validity_Text(First, Now, Lang)};
        if (const QString Key = Key_Text(First.Key); !Key.isEmpty())
            Items.append(Key);
        QString Text = Items.join(QStringLiteral(", "));
        if (Found.Certificates.size() > 1)
            Text += u' ' + Lang[Text_Slot::More_Certificates].arg(Found.Certificates.size() - 1);
        Parts.append(Text);
    }
    for (const Private_Key_Info& Key : Found.Keys)
        Parts.append(Key_Summary(Key, Found.Password_Given, Lang));
    return Parts.join(QStringLiteral("; "));
}

QString Details(const Pem_Contents& Found, const QDateTime& Now, const Lang_Table& Lang)
{
    QStringList Lines;
    for (const Certificate_Info& Certificate : Found.Certificates) {
        if (!Lines.isEmpty())
            Lines.append(QString());
        Lines.append(Lang[Text_Slot::Details_Subject] + Certificate.Subject);
        Lines.append(Lang[Text_Slot::Details_Issuer] + Certificate.Issuer);
        QString Validity =
            Lang[Text_Slot::Details_Validity].arg(Date_Text(Certificate.Not_Before), Date_Text(Certificate.Not_After));
        if (Certificate.Not_After < Now || Certificate.Not_Before > Now)
            Validity += QStringLiteral(" (") + Validity_Text(Certificate, Now, Lang) + u')';
        Lines.append(Validity);
        Lines.append(Lang[Text_Slot::Details_Serial] + Certificate.Serial);
        Lines.append(Lang[Text_Slot::Details_Fingerprint] + Certificate.Fingerprint);
        QString Key = Lang[Text_Slot::Details_Key] + Key_Text(Certificate.Key);
        if (Certificate.Is_CA)
            Key += QStringLiteral(", ") + Lang[Text_Slot::Details_CA];
        Lines.append(Key);
    }
    for (const Private_Key_Info& Key : Found.Keys) {
        if (!Lines.isEmpty())
            Lines.append(QString());
        Lines.append(Key_Summary(Key, Found.Password_Given, Lang));
    }
    if (Lines.isEmpty()) {
        const QString Line = Summary(Found, Now, Lang);
        if (Found.Error.isEmpty() || Line.endsWith(Found.Error))
            return Line;
        return Line + u'\n' + Lang[Text_Slot::Library_Reason].arg(Found.Error);
    }
    return Lines.join(u'\n');
}

std::expected<QString, QString> File_To_Pem(const QByteArray& Bytes, const Lang_Table& Lang)
{
    QByteArray Text = Bytes;
    if (Text.startsWith("\xEF\xBB\xBF"))
        Text.remove(0, 3);
    if (Text.contains("-----BEGIN")) {
        QString Pem = QString::fromUtf8(Text);
        Pem.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        Pem.replace(u'\r', u'\n');
        return Pem;
    }
    const auto Reader = Crypto();
    if (!Reader)
        return std::unexpected(Crypto_Missing_Text(Reader.error(), Lang));
    return (*Reader)->Der_To_Pem(Bytes);
}

std::expected<QString, QString> Load_File(const QString& Path, const Lang_Table& Lang)
{
    // A FIFO or a device chosen by mistake is refused, never opened so
    // that it could block; a large file is not read whole.
    if (const QFileInfo Info(Path); Info.isFile() && Info.size() > File_Size_Limit)
        return std::unexpected(Lang[Text_Slot::File_Too_Large]);
    const std::expected<QByteArray, Read_Error> Read = Read_Regular_File(Path);
    if (!Read)
        return std::unexpected(Lang[Text_Slot::File_Unreadable] + Read.error().Text);
    const QByteArray& Bytes = *Read;
    if (Bytes.size() > File_Size_Limit)
        return std::unexpected(Lang[Text_Slot::File_Too_Large]);
    // Without the reader nothing can be told about the file: that, not that
    // it holds nothing, is what the user must hear.
    if (const auto Reader = Crypto(); !Reader)
        return std::unexpected(Crypto_Missing_Text(Reader.error(), Lang));
    const std::expected<QString, QString> Pem = File_To_Pem(Bytes, Lang);
    if (!Pem)
        return std::unexpected(Lang[Text_Slot::File_Holds_Nothing] + Pem.error());
    const Pem_Reading Found = Read_Pem(*Pem);
    if (!Found)
        return std::unexpected(Crypto_Missing_Text(Found.error(), Lang));
    if (!Found->Usable())
        return std::unexpected(Lang[Text_Slot::File_Holds_Nothing] + Found->Error);
    return Pem;
}

} // namespace Certificates

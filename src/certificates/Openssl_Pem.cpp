// Reading keys and certificates with OpenSSL: the part of Pem_Contents that
// lives in the crypto module.
#include "certificates/Openssl_Handles.h"
#include "certificates/Openssl_Reading.h"

#include <openssl/asn1.h>
#include <openssl/asn1t.h>
#include <openssl/bn.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/x509v3.h>

#include <ctime>

namespace Certificates::Ssl {

namespace {

// PEM wants a line start before "-----BEGIN"; pasted texts come with any line
// ends and often with blanks around the lines.
QByteArray Normalised(const QString& Text)
{
    QString Unified = Text;
    Unified.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Unified.replace(u'\r', u'\n');
    QStringList Lines = Unified.split(u'\n');
    for (QString& Line : Lines)
        Line = Line.trimmed();
    return Lines.join(u'\n').toUtf8() + '\n';
}

QString Name_Text(const X509_NAME* Name)
{
    Bio Sink(BIO_new(BIO_s_mem()));
    // RFC 2253 order (narrowest part first), UTF-8 kept, ", " between the parts.
    const unsigned long Flags = (XN_FLAG_RFC2253 & ~XN_FLAG_SEP_MASK & ~ASN1_STRFLGS_ESC_MSB) | XN_FLAG_SEP_CPLUS_SPC;
    X509_NAME_print_ex(Sink.get(), Name, 0, Flags);
    return QString::fromUtf8(Memory_Contents(Sink.get()));
}

QString Common_Name_Of(const X509_NAME* Name)
{
    const int Index = X509_NAME_get_index_by_NID(Name, NID_commonName, -1);
    if (Index < 0)
        return {};
    const ASN1_STRING* Value = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(Name, Index));
    unsigned char* Utf8 = nullptr;
    const int Length = ASN1_STRING_to_UTF8(&Utf8, Value);
    if (Length < 0)
        return {};
    QString Result = QString::fromUtf8(reinterpret_cast<const char*>(Utf8), Length);
    OPENSSL_free(Utf8);
    return Result;
}

QDateTime Date_Of(const ASN1_TIME* Time)
{
    std::tm Parts{};
    if (!Time || !ASN1_TIME_to_tm(Time, &Parts))
        return {};
    return QDateTime(QDate(Parts.tm_year + 1900, Parts.tm_mon + 1, Parts.tm_mday),
                     QTime(Parts.tm_hour, Parts.tm_min, Parts.tm_sec), Qt::UTC);
}

QString Hex_Pairs(const unsigned char* Bytes, unsigned int Count)
{
    return QByteArray(reinterpret_cast<const char*>(Bytes), static_cast<qsizetype>(Count)).toHex(':').toUpper();
}

QString Serial_Of(const X509* Certificate)
{
    BIGNUM* Number = ASN1_INTEGER_to_BN(X509_get0_serialNumber(Certificate), nullptr);
    if (!Number)
        return {};
    char* Hex = BN_bn2hex(Number);
    QString Result = QString::fromLatin1(Hex);
    OPENSSL_free(Hex);
    BN_free(Number);
    return Result;
}

QByteArray Public_Key_Der(const EVP_PKEY* Key)
{
    unsigned char* Der = nullptr;
    const int Length = i2d_PUBKEY(Key, &Der);
    if (Length <= 0)
        return {};
    QByteArray Result(reinterpret_cast<const char*>(Der), Length);
    OPENSSL_free(Der);
    return Result;
}

Key_Description Describe(const EVP_PKEY* Key)
{
    if (!Key)
        return {};
    const char* Name = EVP_PKEY_get0_type_name(Key);
    return {Name ? QString::fromLatin1(Name).toUpper() : QString(), EVP_PKEY_get_bits(Key)};
}

Certificate_Info Describe(X509* Certificate)
{
    Certificate_Info Info;
    Info.Subject = Name_Text(X509_get_subject_name(Certificate));
    Info.Common_Name = Common_Name_Of(X509_get_subject_name(Certificate));
    Info.Issuer = Name_Text(X509_get_issuer_name(Certificate));
    Info.Not_Before = Date_Of(X509_get0_notBefore(Certificate));
    Info.Not_After = Date_Of(X509_get0_notAfter(Certificate));
    Info.Serial = Serial_Of(Certificate);
    unsigned char Digest[EVP_MAX_MD_SIZE];
    unsigned int Digest_Length = 0;
    if (X509_digest(Certificate, EVP_sha256(), Digest, &Digest_Length))
        Info.Fingerprint = Hex_Pairs(Digest, Digest_Length);
    const EVP_PKEY* Key = X509_get0_pubkey(Certificate);
    Info.Key = Describe(Key);
    Info.Public_Key = Key ? Public_Key_Der(Key) : QByteArray();
    Info.Is_CA = X509_check_ca(Certificate) != 0;
    unsigned char* Der = nullptr;
    const int Length = i2d_X509(Certificate, &Der);
    if (Length > 0) {
        Info.Der = QByteArray(reinterpret_cast<const char*>(Der), Length);
        OPENSSL_free(Der);
    }
    ERR_clear_error();
    return Info;
}

struct Password_Source {
    QByteArray Password;
    bool Asked = false;
};

// Never prompts: an encrypted key opens with the password given or not at all.
int Give_Password(char* Buffer, int Size, int, void* User)
{
    auto* Source = static_cast<Password_Source*>(User);
    Source->Asked = true;
    const int Length = static_cast<int>(qMin<qsizetype>(Source->Password.size(), Size));
    memcpy(Buffer, Source->Password.constData(), static_cast<size_t>(Length));
    return Length;
}

bool Is_Certificate_Label(const QByteArray& Label)
{
    return Label == PEM_STRING_X509 || Label == PEM_STRING_X509_OLD || Label == PEM_STRING_X509_TRUSTED;
}

bool Is_Private_Key_Label(const QByteArray& Label) { return Label.endsWith("PRIVATE KEY"); }

// The key type a traditional label names ("RSA PRIVATE KEY"); empty for PKCS #8.
QString Type_From_Label(const QByteArray& Label)
{
    const QByteArray Prefix = Label.chopped(qstrlen("PRIVATE KEY")).trimmed();
    if (Prefix == "RSA" || Prefix == "EC" || Prefix == "DSA")
        return QString::fromLatin1(Prefix);
    return {};
}

struct Pem_Block {
    QByteArray Label;
    QByteArray Header;
    QByteArray Data;
};

// The block written back as PEM, for the readers that decrypt and decode keys.
QByteArray Block_Pem(const Pem_Block& Block)
{
    Bio Sink(BIO_new(BIO_s_mem()));
    PEM_write_bio(Sink.get(), Block.Label.constData(), Block.Header.constData(),
                  reinterpret_cast<const unsigned char*>(Block.Data.constData()), static_cast<long>(Block.Data.size()));
    return Memory_Contents(Sink.get());
}

template <typename T, auto Free>
using Owned = std::unique_ptr<T, Deleter<Free>>;

// A number of the key's parameters; -1 when it is negative or does not fit.
qint64 Number_Of(const ASN1_INTEGER* Value)
{
    int64_t Result = -1;
    if (!Value || !ASN1_INTEGER_get_int64(&Result, Value) || Result < 0)
        return -1;
    return Result;
}

QString Pbkdf_Cost_Refusal(qint64 Iterations)
{
    if (Iterations >= 0 && Iterations <= Max_Key_Iterations)
        return {};
    return QStringLiteral("the key's encryption asks for %1 key-derivation iterations, more than %2; it is not tried")
        .arg(Iterations < 0 ? QStringLiteral("an unreadable number of") : QString::number(Iterations))
        .arg(Max_Key_Iterations);
}

// Why the key derivation of a PKCS #8 encrypted key is not run, or empty when
// its cost is within what any tool writes. Opening a key runs the derivation
// whatever the password, so a stated cost of billions of rounds would keep
// the program busy for hours before the password is even compared.
QString Derivation_Cost_Refusal(const QByteArray& Der)
{
    const auto* P = reinterpret_cast<const unsigned char*>(Der.constData());
    const Sig Encrypted(d2i_X509_SIG(nullptr, &P, static_cast<long>(Der.size())));
    if (!Encrypted)
        return {};  // OpenSSL gives the reason when it reads the key
    const X509_ALGOR* Algorithm = nullptr;
    X509_SIG_get0(Encrypted.get(), &Algorithm, nullptr);
    const ASN1_OBJECT* Object = nullptr;
    int Parameter_Type = 0;
    const void* Parameter = nullptr;
    X509_ALGOR_get0(&Object, &Parameter_Type, &Parameter, Algorithm);
    if (Parameter_Type != V_ASN1_SEQUENCE)
        return {};
    const auto* Sequence = static_cast<const ASN1_STRING*>(Parameter);
    const auto Unpack = [](const ASN1_STRING* Bytes, const ASN1_ITEM* Item) {
        const unsigned char* Start = ASN1_STRING_get0_data(Bytes);
        return ASN1_item_d2i(nullptr, &Start, ASN1_STRING_length(Bytes), Item);
    };
    if (OBJ_obj2nid(Object) != NID_pbes2) {
        // PKCS #5 v1.5 and PKCS #12 schemes: salt and iteration count.
        const Owned<PBEPARAM, PBEPARAM_free> Pbe(
            reinterpret_cast<PBEPARAM*>(Unpack(Sequence, ASN1_ITEM_rptr(PBEPARAM))));
        return Pbe ? Pbkdf_Cost_Refusal(Number_Of(Pbe->iter)) : QString();
    }
    const Owned<PBE2PARAM, PBE2PARAM_free> Pbes2(reinterpret_cast<PBE2PARAM*>(Unpack(Sequence, ASN1_ITEM_rptr(PBE2PARAM))));
    if (!Pbes2 || !Pbes2->keyfunc || !Pbes2->keyfunc->parameter
        || Pbes2->keyfunc->parameter->type != V_ASN1_SEQUENCE)
        return {};
    const ASN1_STRING* Function_Parameters = Pbes2->keyfunc->parameter->value.sequence;
    switch (OBJ_obj2nid(Pbes2->keyfunc->algorithm)) {
    case NID_id_pbkdf2: {
        const Owned<PBKDF2PARAM, PBKDF2PARAM_free> Pbkdf2(
            reinterpret_cast<PBKDF2PARAM*>(Unpack(Function_Parameters, ASN1_ITEM_rptr(PBKDF2PARAM))));
        return Pbkdf2 ? Pbkdf_Cost_Refusal(Number_Of(Pbkdf2->iter)) : QString();
    }
    case NID_id_scrypt: {
        const Owned<SCRYPT_PARAMS, SCRYPT_PARAMS_free> Scrypt(
            reinterpret_cast<SCRYPT_PARAMS*>(Unpack(Function_Parameters, ASN1_ITEM_rptr(SCRYPT_PARAMS))));
        if (!Scrypt)
            return {};
        const qint64 N = Number_Of(Scrypt->costParameter);
        const qint64 R = Number_Of(Scrypt->blockSize);
        const qint64 Parallel = Number_Of(Scrypt->parallelizationParameter);
        // Each factor is checked first so that the product cannot overflow.
        const bool Within = N >= 0 && R >= 0 && Parallel >= 0 && N <= Max_Scrypt_Work && R <= Max_Scrypt_Work
                         && Parallel <= Max_Scrypt_Work && N * R <= Max_Scrypt_Work
                         && N * R * Parallel <= Max_Scrypt_Work;
        if (Within)
            return {};
        return QStringLiteral("the key's encryption asks for scrypt work N=%1, r=%2, p=%3, more than N*r*p = %4; "
                              "it is not tried")
            .arg(N).arg(R).arg(Parallel).arg(Max_Scrypt_Work);
    }
    default:
        return {};
    }
}

Private_Key_Info Read_Key(const Pem_Block& Block, const QString& Password)
{
    Private_Key_Info Info;
    Info.Encrypted = Block.Label == PEM_STRING_PKCS8 || Block.Header.contains("ENCRYPTED");
    Info.Key.Type = Type_From_Label(Block.Label);
    if (Block.Label == PEM_STRING_PKCS8) {
        if (QString Refusal = Derivation_Cost_Refusal(Block.Data); !Refusal.isEmpty()) {
            Info.Error = std::move(Refusal);
            Info.Too_Costly = true;
            return Info;
        }
    }
    const QByteArray Pem = Block_Pem(Block);
    Bio In = Memory_Reader(Pem);
    Password_Source Source{Password.toUtf8()};
    ERR_clear_error();
    Pkey Key(PEM_read_bio_PrivateKey_ex(In.get(), nullptr, Give_Password, &Source, nullptr, nullptr));
    if (!Key) {
        Info.Error = Take_Error_Reason();
        return Info;
    }
    Info.Opened = true;
    Info.Key = Describe(Key.get());
    Info.Public_Key = Public_Key_Der(Key.get());
    ERR_clear_error();
    return Info;
}

void Read_Block(const Pem_Block& Block, const QString& Password, Pem_Contents& Found)
{
    if (Is_Certificate_Label(Block.Label)) {
        const auto* P = reinterpret_cast<const unsigned char*>(Block.Data.constData());
        const long Length = static_cast<long>(Block.Data.size());
        X509_Ptr Certificate(Block.Label == PEM_STRING_X509_TRUSTED ? d2i_X509_AUX(nullptr, &P, Length)
                                                                    : d2i_X509(nullptr, &P, Length));
        if (Certificate)
            Found.Certificates.append(Describe(Certificate.get()));
        else
            Found.Unreadable_Blocks.append(QString::fromLatin1(Block.Label) + QStringLiteral(": ")
                                           + Take_Error_Reason());
    } else if (Is_Private_Key_Label(Block.Label)) {
        Private_Key_Info Key = Read_Key(Block, Password);
        // A plain key that cannot be decoded is no key; an encrypted one that
        // stays closed still is one, and its password is what is wrong.
        if (Key.Opened || Key.Encrypted)
            Found.Keys.append(Key);
        else
            Found.Unreadable_Blocks.append(QString::fromLatin1(Block.Label) + QStringLiteral(": ") + Key.Error);
    } else {
        Found.Other_Blocks.append(QString::fromLatin1(Block.Label));
    }
}

} // namespace

Pem_Contents Read_Pem_Text(const QString& Pem, const QString& Password)
{
    Pem_Contents Found;
    Found.Blank = Pem.trimmed().isEmpty();
    if (Found.Blank)
        return Found;
    const QByteArray Bytes = Normalised(Pem);
    Bio In = Memory_Reader(Bytes);
    ERR_clear_error();
    int Blocks = 0;
    for (;;) {
        char* Name = nullptr;
        char* Header = nullptr;
        unsigned char* Data = nullptr;
        long Length = 0;
        if (!PEM_read_bio(In.get(), &Name, &Header, &Data, &Length)) {
            const bool At_End = ERR_GET_REASON(ERR_peek_last_error()) == PEM_R_NO_START_LINE;
            const QString Reason = Take_Error_Reason();
            if (Blocks == 0)
                Found.Error = Reason;
            else if (!At_End)
                Found.Unreadable_Blocks.append(Reason);
            break;
        }
        ++Blocks;
        const Pem_Block Block{QByteArray(Name), QByteArray(Header),
                              QByteArray(reinterpret_cast<const char*>(Data), Length)};
        OPENSSL_free(Name);
        OPENSSL_free(Header);
        OPENSSL_free(Data);
        Read_Block(Block, Password, Found);
    }
    Found.Password_Given = !Password.isEmpty();
    if (!Found.Usable() && Found.Error.isEmpty()) {
        const QStringList Reasons = Found.Unreadable_Blocks + Found.Other_Blocks;
        Found.Error = Reasons.join(QStringLiteral("; "));
    }
    ERR_clear_error();
    return Found;
}

std::expected<QString, QString> Der_To_Pem(const QByteArray& Bytes)
{
    ERR_clear_error();
    const auto* Start = reinterpret_cast<const unsigned char*>(Bytes.constData());
    const long Length = static_cast<long>(Bytes.size());
    Bio Sink(BIO_new(BIO_s_mem()));
    const unsigned char* P = Start;
    if (X509_Ptr Certificate{d2i_X509(nullptr, &P, Length)}) {
        PEM_write_bio_X509(Sink.get(), Certificate.get());
        ERR_clear_error();
        return QString::fromLatin1(Memory_Contents(Sink.get()));
    }
    ERR_clear_error();
    P = Start;
    if (Sig Encrypted{d2i_X509_SIG(nullptr, &P, Length)}; Encrypted && P == Start + Length) {
        PEM_write_bio_PKCS8(Sink.get(), Encrypted.get());
        ERR_clear_error();
        return QString::fromLatin1(Memory_Contents(Sink.get()));
    }
    ERR_clear_error();
    P = Start;
    if (Pkey Key{d2i_AutoPrivateKey(nullptr, &P, Length)}; Key && P == Start + Length) {
        PEM_write_bio_PrivateKey(Sink.get(), Key.get(), nullptr, nullptr, 0, nullptr, nullptr);
        ERR_clear_error();
        return QString::fromLatin1(Memory_Contents(Sink.get()));
    }
    // The reason of the certificate reading, the most likely intent of the file.
    ERR_clear_error();
    P = Start;
    const X509_Ptr Last_Try{d2i_X509(nullptr, &P, Length)};
    return std::unexpected(Take_Error_Reason());
}

} // namespace Certificates::Ssl

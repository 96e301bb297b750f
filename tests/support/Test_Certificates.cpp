#include "support/Test_Certificates.h"

#include <openssl/bio.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <stdexcept>

namespace Test_Pki {

namespace {

EVP_PKEY* Key_Of(const Made_Key& Key) { return static_cast<EVP_PKEY*>(Key.Key.get()); }
X509* Certificate_Of(const Made_Certificate& Made) { return static_cast<X509*>(Made.Certificate.get()); }

void Require(bool Ok, const char* What)
{
    if (!Ok)
        throw std::runtime_error(What);
}

// What a memory sink collected, after Write filled it.
template <typename Write>
QByteArray Collect(Write&& Fill)
{
    BIO* Sink = BIO_new(BIO_s_mem());
    Require(Fill(Sink) == 1, "writing a key or certificate");
    char* Data = nullptr;
    const long Size = BIO_get_mem_data(Sink, &Data);
    QByteArray Result(Data, Size);
    BIO_free(Sink);
    return Result;
}

void Add_Extension(X509* Certificate, X509* Issuer, int Nid, const char* Value)
{
    X509V3_CTX Context;
    X509V3_set_ctx_nodb(&Context);
    X509V3_set_ctx(&Context, Issuer, Certificate, nullptr, nullptr, 0);
    X509_EXTENSION* Extension = X509V3_EXT_conf_nid(nullptr, &Context, Nid, Value);
    Require(Extension != nullptr, "making an extension");
    X509_add_ext(Certificate, Extension, -1);
    X509_EXTENSION_free(Extension);
}

} // namespace

QString Made_Key::Pem() const
{
    return QString::fromLatin1(Collect([&](BIO* Sink) {
        return PEM_write_bio_PrivateKey(Sink, Key_Of(*this), nullptr, nullptr, 0, nullptr, nullptr);
    }));
}

QString Made_Key::Encrypted_Pem(const QString& Password) const
{
    const QByteArray Secret = Password.toUtf8();
    return QString::fromLatin1(Collect([&](BIO* Sink) {
        return PEM_write_bio_PKCS8PrivateKey(Sink, Key_Of(*this), EVP_aes_256_cbc(), Secret.constData(),
                                             static_cast<int>(Secret.size()), nullptr, nullptr);
    }));
}

QString Made_Key::Traditional_Encrypted_Pem(const QString& Password) const
{
    QByteArray Secret = Password.toUtf8();
    return QString::fromLatin1(Collect([&](BIO* Sink) {
        return PEM_write_bio_PrivateKey_traditional(Sink, Key_Of(*this), EVP_aes_128_cbc(),
                                                    reinterpret_cast<unsigned char*>(Secret.data()),
                                                    static_cast<int>(Secret.size()), nullptr, nullptr);
    }));
}

QByteArray Made_Key::Der() const
{
    return Collect([&](BIO* Sink) { return i2d_PKCS8PrivateKey_bio(Sink, Key_Of(*this), nullptr, nullptr, 0, nullptr, nullptr); });
}

QByteArray Made_Key::Encrypted_Der(const QString& Password) const
{
    const QByteArray Secret = Password.toUtf8();
    return Collect([&](BIO* Sink) {
        return i2d_PKCS8PrivateKey_bio(Sink, Key_Of(*this), EVP_aes_256_cbc(), Secret.constData(),
                                       static_cast<int>(Secret.size()), nullptr, nullptr);
    });
}

namespace {

// The key encrypted with Made_Algorithm's scheme, whose parameters are then
// replaced by Stated_Algorithm's.
QString Pkcs8_With(const Made_Key& Made, const QString& Password, X509_ALGOR* Made_Algorithm,
                   X509_ALGOR* Stated_Algorithm)
{
    Require(Made_Algorithm && Stated_Algorithm, "making key-derivation parameters");
    const QByteArray Secret = Password.toUtf8();
    PKCS8_PRIV_KEY_INFO* Plain = EVP_PKEY2PKCS8(Key_Of(Made));
    X509_SIG* Encrypted = PKCS8_set0_pbe(Secret.constData(), static_cast<int>(Secret.size()), Plain, Made_Algorithm);
    PKCS8_PRIV_KEY_INFO_free(Plain);
    Require(Encrypted != nullptr, "encrypting a key");
    X509_ALGOR* Algorithm = nullptr;
    X509_SIG_getm(Encrypted, &Algorithm, nullptr);
    Require(X509_ALGOR_copy(Algorithm, Stated_Algorithm) == 1, "stating key-derivation parameters");
    X509_ALGOR_free(Stated_Algorithm);
    const QByteArray Pem = Collect([&](BIO* Sink) { return PEM_write_bio_PKCS8(Sink, Encrypted); });
    X509_SIG_free(Encrypted);
    return QString::fromLatin1(Pem);
}

// Fixed, so that the stated parameters differ from the made ones only in cost.
unsigned char Salt[8] = {1, 2, 3, 4, 5, 6, 7, 8};
unsigned char Iv[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};

} // namespace

QString Made_Key::Pbkdf2_Pem(const QString& Password, long Iterations, long Stated_Iterations) const
{
    const auto Pbes2 = [](long Count) {
        return PKCS5_pbe2_set_iv(EVP_aes_256_cbc(), static_cast<int>(Count), Salt, sizeof Salt, Iv,
                                 NID_hmacWithSHA256);
    };
    return Pkcs8_With(*this, Password, Pbes2(Iterations), Pbes2(Stated_Iterations));
}

QString Made_Key::Scrypt_Pem(const QString& Password, quint64 N, quint64 R, quint64 P) const
{
    return Pkcs8_With(*this, Password,
                      PKCS5_pbe2_set_scrypt(EVP_aes_256_cbc(), Salt, sizeof Salt, Iv, 1024, 8, 1),
                      PKCS5_pbe2_set_scrypt(EVP_aes_256_cbc(), Salt, sizeof Salt, Iv, N, R, P));
}

QString Made_Key::Pkcs12_Pbe_Pem(const QString& Password, long Stated_Iterations) const
{
    const auto Pbe = [](long Count) {
        return PKCS5_pbe_set(NID_pbe_WithSHA1And3_Key_TripleDES_CBC, static_cast<int>(Count), Salt, sizeof Salt);
    };
    return Pkcs8_With(*this, Password, Pbe(2048), Pbe(Stated_Iterations));
}

Made_Key Make_Key(Key_Type Type)
{
    EVP_PKEY* Key = nullptr;
    switch (Type) {
    case Key_Type::RSA_2048: Key = EVP_RSA_gen(2048); break;
    case Key_Type::RSA_3072: Key = EVP_RSA_gen(3072); break;
    case Key_Type::EC_P256: Key = EVP_EC_gen("P-256"); break;
    }
    Require(Key != nullptr, "generating a key");
    return {std::shared_ptr<void>(Key, [](void* P) { EVP_PKEY_free(static_cast<EVP_PKEY*>(P)); })};
}

QString Made_Certificate::Pem() const
{
    return QString::fromLatin1(Collect([&](BIO* Sink) { return PEM_write_bio_X509(Sink, Certificate_Of(*this)); }));
}

QByteArray Made_Certificate::Der() const
{
    return Collect([&](BIO* Sink) { return i2d_X509_bio(Sink, Certificate_Of(*this)); });
}

Made_Certificate Make_Certificate(const Certificate_Request& Request)
{
    X509* Certificate = X509_new();
    Made_Certificate Made{std::shared_ptr<void>(Certificate, [](void* P) { X509_free(static_cast<X509*>(P)); })};
    X509_set_version(Certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(Certificate), Request.Serial);
    ASN1_TIME_set(X509_getm_notBefore(Certificate), static_cast<time_t>(Request.Not_Before.toSecsSinceEpoch()));
    ASN1_TIME_set(X509_getm_notAfter(Certificate), static_cast<time_t>(Request.Not_After.toSecsSinceEpoch()));
    X509_NAME* Name = X509_get_subject_name(Certificate);
    const QByteArray Organisation = Request.Organisation.toUtf8();
    const QByteArray Common_Name = Request.Common_Name.toUtf8();
    X509_NAME_add_entry_by_txt(Name, "O", MBSTRING_UTF8, reinterpret_cast<const unsigned char*>(Organisation.constData()), -1, -1, 0);
    X509_NAME_add_entry_by_txt(Name, "CN", MBSTRING_UTF8, reinterpret_cast<const unsigned char*>(Common_Name.constData()), -1, -1, 0);
    X509* Issuer = Request.Issuer ? Certificate_Of(*Request.Issuer) : Certificate;
    X509_set_issuer_name(Certificate, X509_get_subject_name(Issuer));
    X509_set_pubkey(Certificate, Key_Of(*Request.Subject_Key));
    Add_Extension(Certificate, Issuer, NID_basic_constraints, Request.CA ? "critical,CA:TRUE" : "CA:FALSE");
    if (Request.CA)
        Add_Extension(Certificate, Issuer, NID_key_usage, "critical,keyCertSign,cRLSign");
    Add_Extension(Certificate, Issuer, NID_subject_key_identifier, "hash");
    const Made_Key& Signer = Request.Issuer_Key ? *Request.Issuer_Key : *Request.Subject_Key;
    Require(X509_sign(Certificate, Key_Of(Signer), EVP_sha256()) > 0, "signing a certificate");
    return Made;
}

Set::Set(const QDateTime& Now_)
    : Now(Now_),
      Root_Key(Make_Key(Key_Type::RSA_2048)),
      Server_Key(Make_Key(Key_Type::RSA_2048)),
      Unrelated_Key(Make_Key(Key_Type::EC_P256)),
      Other_Key(Make_Key(Key_Type::EC_P256))
{
    Root = Make_Certificate({QStringLiteral("Plant Root CA"), QStringLiteral("Test Plant"), &Root_Key, nullptr, nullptr,
                             Now.addYears(-1), Now.addYears(10), true, 1});
    const auto Signed = [&](const QString& Name, const Made_Key& Key, const QDateTime& From, const QDateTime& Until,
                            long Serial) {
        return Make_Certificate({Name, QStringLiteral("Test Plant"), &Key, &Root, &Root_Key, From, Until, false, Serial});
    };
    Server = Signed(QStringLiteral("plant-north"), Server_Key, Now.addDays(-1), Now.addYears(2), 2);
    Expired = Signed(QStringLiteral("old-client"), Other_Key, Now.addYears(-2), Now.addYears(-1), 3);
    Future = Signed(QStringLiteral("next-client"), Other_Key, Now.addYears(1), Now.addYears(3), 4);
    Expiring = Signed(QStringLiteral("leaving-client"), Other_Key, Now.addYears(-1), Now.addDays(10), 5);
    Unrelated = Make_Certificate({QStringLiteral("stranger"), QStringLiteral("Elsewhere"), &Unrelated_Key, nullptr,
                                  nullptr, Now.addDays(-10), Now.addYears(1), false, 77});
}

} // namespace Test_Pki

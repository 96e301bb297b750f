#pragma once

#include "foundation/Lang_Strings.h"
#include "platform/Program_Module.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <expected>
#include <functional>
#include <utility>

// What a key or certificate text pasted into the configuration holds, read
// with OpenSSL (through the crypto module, see Crypto_Module.h). Nothing here
// changes the text it reads.
namespace Certificates {

// The public key of a certificate, or a private key.
struct Key_Description {
    QString Type;  // "RSA", "EC", "ED25519", ...; empty when it cannot be known (an encrypted key not opened)
    int Bits = 0;  // 0 when it cannot be known
};

struct Certificate_Info {
    QString Subject;      // one line, narrowest part first: "CN=plant-north, O=Acme, C=IT"
    QString Common_Name;  // empty when the subject has none
    QString Issuer;
    QDateTime Not_Before;  // UTC
    QDateTime Not_After;   // UTC
    QString Serial;        // hexadecimal, upper case
    QString Fingerprint;   // SHA-256 of the certificate, upper-case byte pairs joined by ':'
    Key_Description Key;
    bool Is_CA = false;
    QByteArray Der;         // the certificate, for the checks that verify signatures
    QByteArray Public_Key;  // its SubjectPublicKeyInfo, to match a private key against
};

struct Private_Key_Info {
    bool Encrypted = false;
    // The key could be read: it is plain, or the password given opened it.
    bool Opened = false;
    Key_Description Key;
    QByteArray Public_Key;  // SubjectPublicKeyInfo of the key, when opened
    QString Error;          // OpenSSL's reason when it could not be opened
    // The key's encryption asks for more key-derivation work than the
    // ceilings below; it was not tried, and Error says why.
    bool Too_Costly = false;
};

// Ceilings of the work an encrypted key may ask for before it is opened.
// Tools write a few thousand to a million PBKDF2 iterations; scrypt keys
// N = 2^14..2^20 with r = 8 and p = 1.
constexpr qint64 Max_Key_Iterations = 10'000'000;
constexpr qint64 Max_Scrypt_Work = qint64(1) << 24;  // N * r * p

struct Pem_Contents {
    QList<Certificate_Info> Certificates;
    QList<Private_Key_Info> Keys;
    // Labels of blocks that are neither a certificate nor a private key ("PUBLIC KEY", ...).
    QStringList Other_Blocks;
    // "LABEL: reason" of each certificate or key block OpenSSL could not read.
    QStringList Unreadable_Blocks;
    // OpenSSL's reason when the text holds nothing usable; empty for a blank text.
    QString Error;
    // The text is empty or only blanks.
    bool Blank = true;
    // A password was given to open encrypted keys with.
    bool Password_Given = false;

    bool Usable() const { return !Certificates.isEmpty() || !Keys.isEmpty(); }
    // Exactly one certificate and nothing else.
    bool Is_Single_Certificate() const
    {
        return Certificates.size() == 1 && Keys.isEmpty() && Other_Blocks.isEmpty() && Unreadable_Blocks.isEmpty();
    }
};

// What a text holds, or why it could not be read at all: the crypto module
// cannot be used (Crypto_Missing_Text in Crypto_Module.h words it). Each
// caller decides what that means for it.
using Pem_Reading = std::expected<Pem_Contents, Module_Failure>;

// Reads every PEM block of the text (CR LF, CR or LF line ends, blanks around
// the lines allowed). An encrypted key is opened with Password when one is
// given. A blank text needs no reader and is never refused.
Pem_Reading Read_Pem(const QString& Pem, const QString& Password = {});

// Reads each key or certificate text once: the same text with the same
// password gives the first reading back. Opening an encrypted key costs its
// whole key derivation every time (up to Max_Key_Iterations rounds, seconds
// each time), and a wrong password costs it as much as the right one; so one
// run over a configuration (its checks and its report) reads through one of
// these.
class Pem_Reader {
public:
    using Read_Function = std::function<Pem_Reading(const QString& Pem, const QString& Password)>;
    // Reads with Read_Pem, or with Read where one is given.
    explicit Pem_Reader(Read_Function Read_ = {}) : Read_Text(std::move(Read_)) {}
    Pem_Reading Read(const QString& Pem, const QString& Password = {});

private:
    Read_Function Read_Text;
    QHash<std::pair<QString, QString>, Pem_Contents> Read_Before;  // by text and password
};

// "CN=plant-north, valid until 2027-06-30, RSA 2048", "RSA 2048 private key,
// encrypted", "not a certificate: no start line"; empty for a blank text.
// Now decides whether a certificate is shown as expired or not yet valid.
QString Summary(const Pem_Contents& Found, const QDateTime& Now, const Lang_Table& Lang);
// Subject, issuer, validity, serial, fingerprint and key of each certificate,
// one line each, for a tooltip.
QString Details(const Pem_Contents& Found, const QDateTime& Now, const Lang_Table& Lang);

// The name a certificate is shown by: its common name, else its whole subject.
QString Display_Name(const Certificate_Info& Certificate);
// A date as "2027-06-30" (UTC).
QString Date_Text(const QDateTime& When);

// The PEM text of a key or certificate file: a PEM file as it is (line ends
// made LF, a byte-order mark dropped), a DER certificate or key converted to
// PEM (an encrypted key stays encrypted). A file holding neither gives
// OpenSSL's reason; a file that is not PEM, when the crypto module cannot be
// used, why it cannot (in the language of Lang).
std::expected<QString, QString> File_To_Pem(const QByteArray& Bytes, const Lang_Table& Lang);

// Files larger than this are no key or certificate; they are not read whole.
constexpr qint64 File_Size_Limit = 1024 * 1024;

// The PEM text of the key or certificate file at Path, or the message that
// refuses it: the file cannot be read, is too large, the crypto module
// cannot be loaded, or the file holds no key or certificate (with OpenSSL's
// reason).
std::expected<QString, QString> Load_File(const QString& Path, const Lang_Table& Lang);

} // namespace Certificates

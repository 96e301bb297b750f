#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

// Keys and certificates the tests make at run time with OpenSSL, so that no
// key file is kept in the repository.
namespace Test_Pki {

enum class Key_Type { RSA_2048, RSA_3072, EC_P256 };

struct Made_Key {
    std::shared_ptr<void> Key;  // EVP_PKEY

    QString Pem() const;                                     // PKCS #8, plain
    QString Encrypted_Pem(const QString& Password) const;   // PKCS #8, AES-256
    QString Traditional_Encrypted_Pem(const QString& Password) const;  // "RSA PRIVATE KEY" with DEK-Info
    QByteArray Der() const;
    QByteArray Encrypted_Der(const QString& Password) const;
    // PKCS #8 keys whose encryption states a key-derivation cost. The key is
    // encrypted at a cost the test can afford; a higher stated cost is written
    // into the parameters afterwards (the key then no longer opens, but
    // nothing should try).
    QString Pbkdf2_Pem(const QString& Password, long Iterations, long Stated_Iterations) const;
    QString Scrypt_Pem(const QString& Password, quint64 N, quint64 R, quint64 P) const;
    QString Pkcs12_Pbe_Pem(const QString& Password, long Stated_Iterations) const;
};

Made_Key Make_Key(Key_Type Type);

struct Made_Certificate {
    std::shared_ptr<void> Certificate;  // X509

    QString Pem() const;
    QByteArray Der() const;
};

struct Certificate_Request {
    QString Common_Name;
    QString Organisation = QStringLiteral("Test Plant");
    const Made_Key* Subject_Key = nullptr;
    // Self-signed when no issuer is given.
    const Made_Certificate* Issuer = nullptr;
    const Made_Key* Issuer_Key = nullptr;
    QDateTime Not_Before;
    QDateTime Not_After;
    bool CA = false;
    long Serial = 1;
};

Made_Certificate Make_Certificate(const Certificate_Request& Request);

// A small hierarchy around a moment: a root CA, a server certificate it signs
// with its key, an unrelated self-signed certificate and its key, and
// certificates of the root that are expired, not yet valid and about to expire.
struct Set {
    explicit Set(const QDateTime& Now);

    QDateTime Now;
    Made_Key Root_Key, Server_Key, Unrelated_Key, Other_Key;
    Made_Certificate Root, Server, Unrelated, Expired, Future, Expiring;
};

} // namespace Test_Pki

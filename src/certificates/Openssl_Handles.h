#pragma once

// Owners of the OpenSSL objects the certificate units use, and the one way
// they turn OpenSSL's error queue into a reason. Included by the units'
// sources only: no header of the rest of the program sees OpenSSL.

#include <QByteArray>
#include <QString>

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <memory>

namespace Certificates::Ssl {

template <auto Free>
struct Deleter {
    template <typename T>
    void operator()(T* P) const { Free(P); }
};

using Bio = std::unique_ptr<BIO, Deleter<BIO_free_all>>;
using X509_Ptr = std::unique_ptr<X509, Deleter<X509_free>>;
using Pkey = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using Store = std::unique_ptr<X509_STORE, Deleter<X509_STORE_free>>;
using Store_Ctx = std::unique_ptr<X509_STORE_CTX, Deleter<X509_STORE_CTX_free>>;
using Sig = std::unique_ptr<X509_SIG, Deleter<X509_SIG_free>>;

// A read-only memory source over Bytes, which must outlive it.
inline Bio Memory_Reader(const QByteArray& Bytes)
{
    return Bio(BIO_new_mem_buf(Bytes.constData(), static_cast<int>(Bytes.size())));
}

// The text a memory sink collected.
inline QByteArray Memory_Contents(BIO* Sink)
{
    char* Data = nullptr;
    const long Size = BIO_get_mem_data(Sink, &Data);
    return Size > 0 ? QByteArray(Data, Size) : QByteArray();
}

// The reason of the earliest error in the queue, which names the cause rather
// than the callers that passed it on; the queue is emptied either way, so a
// stale error never lands on the next operation.
inline QString Take_Error_Reason()
{
    const unsigned long First = ERR_get_error();
    ERR_clear_error();
    if (First == 0)
        return {};
    if (const char* Reason = ERR_reason_error_string(First))
        return QString::fromLatin1(Reason);
    char Buffer[256];
    ERR_error_string_n(First, Buffer, sizeof Buffer);
    return QString::fromLatin1(Buffer);
}

inline X509_Ptr Certificate_From_Der(const QByteArray& Der)
{
    const auto* P = reinterpret_cast<const unsigned char*>(Der.constData());
    X509_Ptr Made(d2i_X509(nullptr, &P, static_cast<long>(Der.size())));
    ERR_clear_error();
    return Made;
}

} // namespace Certificates::Ssl

// The chain check of the certificate checks, in the crypto module.
#include "certificates/Openssl_Handles.h"
#include "certificates/Openssl_Reading.h"

namespace Certificates::Ssl {

// Dates are left to their own warnings; a root box may hold the issuing
// intermediate rather than the self-signed top.
bool Chains_To(const QList<Certificate_Info>& Chain, const QList<Certificate_Info>& Roots, QString& Reason)
{
    Store Trusted(X509_STORE_new());
    for (const Certificate_Info& Root : Roots)
        if (X509_Ptr Made = Certificate_From_Der(Root.Der))
            X509_STORE_add_cert(Trusted.get(), Made.get());
    X509_Ptr Leaf = Certificate_From_Der(Chain.constFirst().Der);
    std::unique_ptr<STACK_OF(X509), void (*)(STACK_OF(X509)*)> Untrusted(
        sk_X509_new_null(), [](STACK_OF(X509) * Stack) { sk_X509_pop_free(Stack, X509_free); });
    for (qsizetype I = 1; I < Chain.size(); ++I)
        if (X509_Ptr Made = Certificate_From_Der(Chain[I].Der))
            sk_X509_push(Untrusted.get(), Made.release());
    Store_Ctx Context(X509_STORE_CTX_new());
    if (!Leaf || !Context || !X509_STORE_CTX_init(Context.get(), Trusted.get(), Leaf.get(), Untrusted.get())) {
        Reason = Take_Error_Reason();
        return false;
    }
    X509_VERIFY_PARAM_set_flags(X509_STORE_CTX_get0_param(Context.get()),
                                X509_V_FLAG_NO_CHECK_TIME | X509_V_FLAG_PARTIAL_CHAIN);
    const bool Verified = X509_verify_cert(Context.get()) == 1;
    if (!Verified)
        Reason = QString::fromLatin1(X509_verify_cert_error_string(X509_STORE_CTX_get_error(Context.get())));
    ERR_clear_error();
    return Verified;
}

} // namespace Certificates::Ssl

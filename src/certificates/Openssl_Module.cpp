// The crypto module's entry: the table of its functions. Everything else in
// the module is hidden, so the executable's names and the module's never mix.
#include "certificates/Crypto_Module.h"
#include "certificates/Openssl_Reading.h"

#include <QtGlobal>

namespace {

const Certificates::Crypto_Functions Functions{
    Certificates::Crypto_Functions::Current_Version,
    Certificates::Ssl::Read_Pem_Text,
    Certificates::Ssl::Der_To_Pem,
    Certificates::Ssl::Chains_To,
};

} // namespace

extern "C" Q_DECL_EXPORT const Certificates::Crypto_Functions* sw40610_crypto_functions() { return &Functions; }

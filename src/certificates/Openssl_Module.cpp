// The crypto module's entry: its build token and the table of its functions.
// Everything else in the module is hidden, so the executable's names and the
// module's never mix.
#include "Build_Token.h"
#include "certificates/Crypto_Module.h"
#include "certificates/Openssl_Reading.h"
#include "platform/Program_Module.h"

namespace {

const Certificates::Crypto_Functions Functions{
    Certificates::Ssl::Read_Pem_Text,
    Certificates::Ssl::Der_To_Pem,
    Certificates::Ssl::Chains_To,
};

} // namespace

SW_EXPORT_MODULE_TOKEN(SW_BUILD_TOKEN);

const Certificates::Crypto_Functions* sw40610_crypto_functions() { return &Functions; }

// A module of another build, as an old program folder would leave it beside
// a new executable: the window's and the crypto module's entry points with
// this build's declarations, but another build token (SW_STALE_TOKEN), or
// none at all when SW_STALE_TOKEN is not defined, as a module built before
// modules carried one. Whatever of it runs says so and ends the process:
// the executable must refuse it before anything of it is called.
#include "app/Window_Module.h"
#include "certificates/Crypto_Module.h"
#include "platform/Program_Module.h"

#include <cstdio>
#include <cstdlib>

namespace {

int Ran(int, char**)
{
    std::fputs("stale module ran\n", stderr);
    std::fflush(stderr);
    std::_Exit(99);
}

} // namespace

#ifdef SW_STALE_TOKEN
SW_EXPORT_MODULE_TOKEN(SW_STALE_TOKEN);
#endif

const Window_Module_Entries* sw40610_window_entries()
{
    static constexpr Window_Module_Entries Entries{Ran, Ran, Ran};
    return &Entries;
}

const Certificates::Crypto_Functions* sw40610_crypto_functions()
{
    Ran(0, nullptr);
    return nullptr;
}

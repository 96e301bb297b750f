#pragma once

#include "certificates/Pem_Contents.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <expected>
#include <optional>

// Keys and certificates are read with OpenSSL's crypto library, which costs
// every process that maps it a few milliseconds at start. It is therefore
// mapped only by the module libsw40610_crypto beside the executable, and
// that module is loaded the first time a key or certificate text is read;
// a command that reads none never maps it. The module holds only what calls
// OpenSSL; the functions of Pem_Contents.h and Certificate_Checks.h reach it
// through the table below, so their callers never see the module.
namespace Certificates {

// What the module offers: functions over plain Qt values and the structs of
// Pem_Contents.h. The module and the executable come from one build; the
// version keeps a module of another build from being called.
struct Crypto_Functions {
    static constexpr int Current_Version = 1;  // raise on any change of this table or of the structs it passes
    int Version = Current_Version;
    // Read_Pem as Pem_Contents.h describes it.
    Pem_Contents (*Read_Pem)(const QString& Pem, const QString& Password);
    // A DER certificate or key (encrypted or not) as PEM text, or OpenSSL's reason.
    std::expected<QString, QString> (*Der_To_Pem)(const QByteArray& Der);
    // Whether the first certificate of Chain leads, through the others, to
    // one of Roots, dates left aside; Reason tells why not.
    bool (*Chains_To)(const QList<Certificate_Info>& Chain, const QList<Certificate_Info>& Roots, QString& Reason);
};

// The name and type of the module's one exported function.
constexpr char Crypto_Entry_Name[] = "sw40610_crypto_functions";
using Crypto_Entry = const Crypto_Functions* (*)();

// The module's functions, loaded on the first call (once per process, from
// any thread); nullptr when it cannot be loaded, Crypto_Error saying why.
const Crypto_Functions* Crypto();
// Why the module cannot be loaded, naming the file that is missing or
// cannot be loaded; empty when it can. Loads it when not yet tried.
QString Crypto_Error();
// Why loading the module failed, without trying to load it: nothing when it
// was never needed or was loaded.
std::optional<QString> Crypto_Failure();

} // namespace Certificates

#pragma once

#include "certificates/Pem_Contents.h"
#include "foundation/Lang_Strings.h"
#include "platform/Program_Module.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

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
// Pem_Contents.h. The module and the executable come from one build: the
// module's build token is compared with the executable's before the table
// is asked for (Program_Module::Load_Own).
struct Crypto_Functions {
    // Read_Pem as Pem_Contents.h describes it, for a text that is not blank.
    Pem_Contents (*Read_Pem)(const QString& Pem, const QString& Password);
    // A DER certificate or key (encrypted or not) as PEM text, or OpenSSL's reason.
    std::expected<QString, QString> (*Der_To_Pem)(const QByteArray& Der);
    // Whether the first certificate of Chain leads, through the others, to
    // one of Roots, dates left aside; Reason tells why not.
    bool (*Chains_To)(const QList<Certificate_Info>& Chain, const QList<Certificate_Info>& Roots, QString& Reason);
};

// The module's functions, loaded on the first call (once per process, from
// any thread), or why the module cannot be used: its file is missing beside
// the executable, the system cannot load it, or it belongs to another build.
std::expected<const Crypto_Functions*, Module_Failure> Crypto();

// Why the module could not be used, without trying to load it: nothing when
// nothing of this process has needed it yet, or it was loaded.
std::optional<Module_Failure> Crypto_Failure();

// "keys and certificates cannot be read: …", naming the module's file and
// what is wrong with it, in the language of Lang.
QString Crypto_Missing_Text(const Module_Failure& Failure, const Lang_Table& Lang);
// What is wrong with one of the program's modules, naming its file: missing,
// not loadable (with the system's reason) or of another build.
QString Module_Failure_Text(const Module_Failure& Failure, const Lang_Table& Lang);

} // namespace Certificates

// The module's one exported function, declared once for the module that
// defines it and the loader that calls it.
extern "C" Q_DECL_EXPORT const Certificates::Crypto_Functions* sw40610_crypto_functions();

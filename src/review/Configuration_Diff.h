#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "project/Configuration.h"

#include <expected>

class Decimal_Separator;
class Lang_Table;

// What tells two configurations apart, by what the device receives: the
// values the image compiler writes, not the texts as typed ("0x0A" and "10"
// are one port). Each file is compared on its own terms:
//   - the general parameters element by element, both texts shown (a password
//     only as set or not, a key or certificate by its SHA-256 fingerprint);
//   - the variables matched by Name (the n-th of a name with the n-th):
//     added, removed, enabled or disabled, each attribute the device reads
//     that changed, and moved when their order relative to the others changed;
//   - the known certificates matched by SHA-256 fingerprint: added, removed,
//     enabled or disabled.
namespace Review {

namespace Diff_Text {
constexpr int Not_Sent = 1460;  // "(description only, not sent to the device)"
} // namespace Diff_Text

struct Difference {
    QString File;  // "ParGen.xml", "IEC61850_Variables.xml", "TLS_Known_Cert.xml"
    QString Item;  // the element, "variable NAME", "variable NAME: ATTRIBUTE", "certificate FINGERPRINT"
    QString A;     // what the first configuration holds, as shown to a person
    QString B;
    // False for a description (a Mnemonic): the device is given nothing of
    // it, so it makes no difference to the device's configuration.
    bool Sent_To_Device = true;
};

// A configuration folder that cannot be opened, or a project file that is
// not well-formed: the path and the reason.
using Read_Failure = ::Read_Failure;

// Every difference between the configuration folders Dir_A and Dir_B, grouped
// by file in the order above. None means the two give the device the same
// configuration but for descriptions (Sent_To_Device false), told too.
// A missing project file reads as its defaults, as for the compiler.
// Separator: how a factor with either separator is read.
std::expected<QList<Difference>, Read_Failure> Compare(const QString& Dir_A, const QString& Dir_B,
                                                       Decimal_Separator& Separator);

// "FILE: ITEM: A -> B", one line for the command line; a description marked
// as not given to the device, in the language of Lang.
QString Difference_Line(const Difference& Item, const Lang_Table& Lang);
// Whether the device is given the same configuration: no difference but in descriptions.
bool Same_Device_Configuration(const QList<Difference>& Differences);
// {"a": DIR, "b": DIR, "differences": [{"file", "item", "a", "b"}]}; a
// description's entry also holds "sent_to_device": false.
QByteArray Differences_Json(const QString& Dir_A, const QString& Dir_B, const QList<Difference>& Differences);

// A key or certificate text as it is shown instead of its content: the
// SHA-256 fingerprint of the certificate (of the key's public part), or of the
// text itself when it holds neither; "(none)" for a blank one. When the
// crypto module cannot be loaded, Read_Failure names File, the project file
// the text is in, with the reason.
QString Pem_Identity(const QString& File, const QString& Pem, const QString& Password = {});

} // namespace Review

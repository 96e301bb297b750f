#pragma once

#include "certificates/Pem_Contents.h"
#include "foundation/Lang_Strings.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The checks of the TLS material before it is saved: blocking findings refuse
// the save, warnings are asked about. Every check runs and reports all it
// finds, in the order of the fields and rows; a window shows what it needs of
// them. No check changes a text.
namespace Certificates {

enum class Severity { Blocking, Warning };

enum class Problem {
    // Blocking
    No_Private_Key,          // the key box holds text but no private key
    Several_Private_Keys,    // the key box holds more than one private key
    No_Certificate,          // a certificate box holds text but no certificate
    Key_In_Certificate_Box,  // a certificate box holds a private key
    Key_Password_Wrong,      // the key password does not open the encrypted key
    Key_In_List,             // a known-certificates row holds a private key
    Not_Single_Certificate,  // a known-certificates row holds anything but one certificate
    Reader_Missing,          // the crypto module cannot be loaded: no text can be checked, this is the only finding
    // Warnings
    Key_Mismatch,       // the key does not belong to the server certificate
    Not_Signed_By_Root, // the server certificate does not chain to the root certificate
    Expired,
    Not_Yet_Valid,
    Expires_Soon,       // within Expiry_Warning_Days
    Listed_Twice,       // a known certificate in two rows
    Empty_Box,          // TLS enabled with an empty key or certificate box
    No_Enabled_Known,   // only known certificates accepted, none enabled
};

// Where a finding lies: the field to focus or the row to select.
enum class Place { Key, Key_Password, Server_Certificate, Root_Certificate, Enable_Known_Cert, Known_Row };

struct Finding {
    Problem What;
    Severity Level;
    Place Where;
    int Row = 0;  // the known-certificates table row (1..10) for Place::Known_Row
    QString Text;
};

constexpr int Expiry_Warning_Days = 30;

// The TLS values of the general parameters, as stored.
struct Server_Material {
    bool TLS_Enabled = false;
    QString Key;
    QString Key_Password;
    QString Server_Certificate;
    QString Root_Certificate;
    bool Only_Known = false;
};

// One row of the known-certificates list, as stored.
struct Known_Certificate {
    bool Enabled = true;
    QString Certificate;
    QString Mnemonic;
};

// The known certificates of a list file as the device receives them: a row
// is enabled only when the image compiler sends it (Enable exactly "Y"), not
// as the list's editor shows it. A missing file has none; a malformed one
// raises Xml_Parse_Error.
QList<Known_Certificate> Known_Certificates_Sent(const QString& Path);

// The findings about the server's material; nothing when TLS is off. Known
// is the list the device receives (only its enabled rows count).
QList<Finding> Check_Server(const Server_Material& Material, const QList<Known_Certificate>& Known,
                            const QDateTime& Now, const Lang_Table& Lang);
// The same, reading the texts through Reader (shared with whatever else reads them).
QList<Finding> Check_Server(const Server_Material& Material, const QList<Known_Certificate>& Known,
                            const QDateTime& Now, const Lang_Table& Lang, Pem_Reader& Reader);

// The findings about the rows of the known-certificates list that are saved
// (row i of the list is table row i + 1). Only_Known_In_Force: TLS is enabled
// and restricted to known certificates.
QList<Finding> Check_Known_List(const QList<Known_Certificate>& Rows, bool Only_Known_In_Force,
                                const QDateTime& Now, const Lang_Table& Lang);
QList<Finding> Check_Known_List(const QList<Known_Certificate>& Rows, bool Only_Known_In_Force,
                                const QDateTime& Now, const Lang_Table& Lang, Pem_Reader& Reader);

std::optional<Finding> First_Blocking(const QList<Finding>& Findings);
QList<Finding> Warnings_Of(const QList<Finding>& Findings);
// The one question that lists every warning: the introduction, one line per
// warning, then whether to save anyway.
QString Warnings_Question(const QList<Finding>& Warnings, int Intro_Slot, const Lang_Table& Lang);

} // namespace Certificates

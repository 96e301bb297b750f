#pragma once

#include "foundation/Data_Array.h"

#include "certificates/Certificate_Checks.h"
#include "foundation/Lang_Strings.h"
#include "image/Configuration_Image.h"
#include "project/Configuration.h"
#include "project/List_File.h"
#include "project/Par_Gen_File.h"
#include "project/Xml_Place.h"

#include <QChar>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class Decimal_Separator;
class Workspace;

// The checks of the three project files, one function per file. Each takes
// the file's values (as read from the file, or as a window holds them before
// saving) and returns every finding in a fixed order: a window shows the
// first error and asks about the warnings, the command line lists them all.
namespace Checks {

enum class Severity { Error, Warning };

struct Finding {
    QString File;
    // The element the finding is about; unknown for the file as a whole and
    // for values that do not come from a file.
    Xml_Place Place;
    // Every row involved, ascending; none in the general parameters.
    QList<int> Rows;
    // The general parameter's element, or the variable's attribute, to focus;
    // -1 for none.
    int Field = -1;
    // For the server's TLS material: the field the finding is about.
    std::optional<Certificates::Place> Tls_Field;
    Severity Level = Severity::Error;
    QString Text;
    // The file is not well-formed: Text is the parser's message with its line
    // and column, and nothing of the file could be checked.
    bool Not_Well_Formed = false;
};

bool Has_Errors(const QList<Finding>& Findings);
// "FILE:LINE:COLUMN: error: TEXT" with the line and column of the element
// the finding is about, as tools that read compiler output expect; "FILE:
// error: TEXT" for a finding about the file as a whole.
QString Finding_Line(const Finding& Item);
std::optional<Finding> First_Error(const QList<Finding>& Findings);
QList<Finding> Warnings_Of(const QList<Finding>& Findings);
// The one question that lists every warning (see Certificates::Warnings_Question).
QString Warnings_Question(const QList<Finding>& Warnings, int Intro_Slot, const Lang_Table& Lang);

// The most rows the device takes from each list.
constexpr int Max_Variables = 50;
constexpr int Max_Known_Certificates = 10;
constexpr int Data_Array_Size = Device_Data_Array_Size;

// ParGen.xml: the values as the general parameters editor holds them.
struct Par_Gen_Input {
    QString File;
    Par_Gen::Values Data;
    std::array<Xml_Place, Par_Gen::Element_Count> Places{};
    // The known-certificates list as the device receives it; nothing when the
    // list cannot be read (it is reported with the list).
    std::optional<QList<Certificates::Known_Certificate>> Known_Sent;
    QDateTime Now;
    // Reads the key and the certificates; one of the check's own when none.
    Certificates::Pem_Reader* Reader = nullptr;
};
Par_Gen_Input Par_Gen_Input_Of(const QString& Path, const Par_Gen::Stored& File);
// The values first (in the order of the dialog's fields), then the server's
// TLS material when TLS is enabled.
QList<Finding> Check_Par_Gen(const Par_Gen_Input& Input, const Lang_Table& Lang);

// IEC61850_Variables.xml: the rows as stored (a window gives every attribute).
struct Variables_Input {
    QString File;
    QList<List_File::Stored_Row> Rows;
    QChar Separator = QLatin1Char(',');
    int NByte_IN = Data_Array_Size;
};
// Row by row: the editor's rules for an enabled row in the order of the
// columns, then a Type or Conversion that is no item of the editor's lists,
// a name an earlier enabled row has, a sent row past the 50th; then a
// check box holding neither Y nor N, and the placement on the data array
// (warnings). Every row the image compiler sends is checked, also past a
// row without a name.
QList<Finding> Check_Variables(const Variables_Input& Input, const Lang_Table& Lang);

// The faults of one variable's values that no editor writes: a Type or
// Conversion that is no item of the lists, a check box other than Y, N or
// empty, a digital variable's Start Bit outside 0-7. Each with the attribute
// it is about; Row_Prefix starts each text. For the editor's checks and the
// CSV import.
struct Value_Fault {
    int Attribute = 0;
    Severity Level = Severity::Error;
    QString Text;
};
QList<Value_Fault> Value_Faults(const QStringList& Texts, const Lang_Table& Lang);
const QStringList& Type_Items();
const QStringList& Conversion_Items();

// TLS_Known_Cert.xml: the rows as stored.
struct Known_Cert_Input {
    QString File;
    QList<List_File::Stored_Row> Rows;
    // TLS is enabled and restricted to known certificates (a window's check).
    bool Only_Known_In_Force = false;
    QDateTime Now;
    // Reads the certificates; one of the check's own when none.
    Certificates::Pem_Reader* Reader = nullptr;
};
// The rows the list's editor saves (up to the first without a certificate)
// and every later row the compiler sends, with the certificate checks; a
// sent row past the 10th; a box neither Y nor N (warning).
QList<Finding> Check_Known_Cert(const Known_Cert_Input& Input, const Lang_Table& Lang);

// A project file that starts with something other than its root element (a
// comment, a document type declaration, an XML declaration, a processing
// instruction): the project-file rule takes that node as the root, so every
// value of the file is its default. An error at the place of that node, so
// that nothing is compiled from values the engineer never wrote; nothing
// when Before is empty.
std::optional<Finding> Read_As_Defaults(const QString& File, const std::optional<Xml_Leading_Node>& Before,
                                        const Lang_Table& Lang);
// What the window says on opening such a file ("FILE (line L, column C):
// TEXT"); nothing for a file that starts with its root, is missing or cannot
// be read (those are told where the file is read).
std::optional<QString> Read_As_Defaults_Message(const QString& Path, const Lang_Table& Lang);

// Every finding of a configuration's files, in the order the window checks
// them: the general parameters with the server's TLS material, the variables,
// the known-certificates list, then whether the compiled configuration fits
// the device. A file that is not well-formed is one error finding; the other
// files are still checked. A file read as defaults is an error before the
// file's other findings. Keys and certificates are read through Reader when
// one is given, so that a caller that reads them too (the report) opens an
// encrypted key once.
// Compiled: what compiling Config gave, when the caller has compiled it
// already (the report); compiled here when not given.
QList<Finding> Check_Configuration(const Configuration& Config, const Lang_Table& Lang, Decimal_Separator& Separator,
                                   Certificates::Pem_Reader* Reader = nullptr,
                                   std::optional<Configuration_Image::Compile_Result> Compiled = std::nullopt);
// The same for the configuration of Space, read now; a file not saved yet is
// checked by its defaults, one that cannot be read is one error finding with
// the reason.
QList<Finding> Check_Configuration(const Workspace& Space, Decimal_Separator& Separator,
                                   Certificates::Pem_Reader* Reader = nullptr);

} // namespace Checks

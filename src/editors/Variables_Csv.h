#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <expected>
#include <optional>

class Lang_Table;
class Open_File_Dialog;
class Prompter;
class Save_File_Dialog;

// The variables list as a CSV file for spreadsheet programs. A row is the
// twelve texts of the variables file in attribute order; the header line
// names them with the file's attribute names.
namespace Variables_Csv {

constexpr int Max_Rows = 50;

// The twelve attribute names, in file order.
const QStringList& Column_Names();

// UTF-8 with byte-order mark, comma-separated, lines ended by CR LF, fields
// quoted where a separator, quote, line break or edge blank needs it. Only
// the rows before the first one with a blank Name are written.
QByteArray Export(const QList<QStringList>& Rows);

// Reads a file written with comma, semicolon or tab (the one that names the
// most columns in the header line), with or without byte-order mark; columns
// are found by their header name, unknown ones are ignored and missing ones
// read as empty. Lines whose fields are all blank are skipped. Every row has
// twelve texts. A file that cannot be taken whole gives the message naming
// its line, and no rows.
std::expected<QList<QStringList>, QString> Import(const QByteArray& Bytes, const Lang_Table& Lang);

// How many rows Export writes: those before the first one with a blank Name.
int Exported_Rows(const QList<QStringList>& Rows);

// Asks for the file to write (a name without suffix gets ".csv"), asks before
// replacing an existing file, and writes it whole. Failures reach the user
// through Prompts, and so does where the rows went and how many they were.
// True when the file was written.
bool Export_File(const QList<QStringList>& Rows, const QString& Folder, Save_File_Dialog& Dialog, Prompter& Prompts,
                 const Lang_Table& Lang);
// Asks for the file to read and reads it whole: its rows, or nullopt when
// the user cancelled or was told why the file cannot be taken.
std::optional<QList<QStringList>> Import_File(const QString& Folder, Open_File_Dialog& Dialog, Prompter& Prompts,
                                              const Lang_Table& Lang);

} // namespace Variables_Csv

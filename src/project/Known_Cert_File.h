#pragma once

#include "project/List_File.h"

// TLS_Known_Cert.xml: the client certificates the gateway's TLS server
// accepts, one "row" element each.
namespace Known_Cert_File {

enum Attribute : int { Enable, Certificate, Mnemonic, Attribute_Count };

using List_File::Reader;

const List_File::Attribute_Info& Info(int Attribute);

// One certificate as stored, read by either reader's rules.
class Row : public List_File::Row {
public:
    explicit Row(const List_File::Stored_Row& Stored);
};

// The file as stored (see List_File::Read).
List_File::Stored Read(const QString& Path);
List_File::Stored From_Bytes(const QByteArray& Data, const QString& File_Name);

// Rows are the three texts of each certificate in attribute order, Enable
// "Y" or "N"; the file ends before the first row whose certificate is empty
// after trimming.
QByteArray To_Bytes(const QList<QStringList>& Rows);
std::expected<void, Write_Error> Save(const QString& Path, const QList<QStringList>& Rows);

} // namespace Known_Cert_File

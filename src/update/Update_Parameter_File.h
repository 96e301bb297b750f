#pragma once

#include "platform/File_Write.h"

#include <QString>

#include <stdexcept>

class Xml_File;

// What the user confirmed in the update dialog, as the parameter file needs it.
struct Update_Choice {
    QString IP_Address;     // the four address fields joined with "."
    int Option_Index = 0;   // 0 firmware + configuration, 1 firmware, 2 configuration
    bool Read_Back = true;
};

// Where the files the updater sends live.
struct Update_Sources {
    QString Master_Dir;
    QString Project_Dir;
};

// The name of the updater's program and of its parameter file, both in the
// program folder.
QString Updater_Program(const QString& Exe_Dir);
QString Update_Parameter_File(const QString& Exe_Dir);
QString Firmware_Image(const QString& Master_Dir);

// Empties Doc and fills it with the updater's instructions.
void Build_Update_Parameters(Xml_File& Doc, const Update_Choice& Choice, const Update_Sources& Sources);

// The parameter file could not be written; the updater must not start.
// The dialog turns it into the user's text; what() is the file and the
// system's reason.
class Update_File_Error : public std::runtime_error {
public:
    explicit Update_File_Error(const Write_Error& Failure_)
        : std::runtime_error((Failure_.Path + QStringLiteral(": ")
                              + (Failure_.Refused_Link() ? QStringLiteral("symbolic link, not written through")
                                                         : Failure_.System_Text))
                                 .toStdString()),
          Failure(Failure_)
    {
    }
    Write_Error Failure;
};

// Builds Doc and writes it to the program folder, replacing any earlier file.
// Raises Update_File_Error with the system's reason when the save fails.
void Write_Update_Parameters(Xml_File& Doc, const Update_Choice& Choice, const Update_Sources& Sources,
                             const QString& Exe_Dir);

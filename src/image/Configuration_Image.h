#pragma once

#include "image/Image_Model.h"
#include "platform/File_Write.h"

#include <QByteArray>
#include <QString>

#include <expected>
#include <memory>
#include <optional>

class Decimal_Separator;
class Prompter;
struct Active_Project;
class Workspace;

// The configuration image compiler: reads the active configuration's three
// project files into the image model and turns it into the two bank files.
// One instance lives for the whole run; every compilation overwrites it, and
// the buffers keep the last compilation until the next one.
class Configuration_Image {
public:
    enum class Compile_Result { Compiled, Too_Large };

    // Reads the files of Project, which must outlive the image; Separator
    // null: the system's regional setting.
    Configuration_Image(const Active_Project& Project, Decimal_Separator* Separator);
    ~Configuration_Image();

    // The image state
    Par_Block Param_Block;
    TIEC61850 IEC61850_Image;
    QByteArray Bank1_Buffer;
    quint32 Bank1_Length = 0;
    QByteArray Bank2_Buffer;
    quint32 Bank2_Length = 0;

    // Image model and parameter block
    void Default_Par_Block();
    void Init_IEC61850_Image();
    // Stores the checksum, copies the block to Destination at Position and
    // returns the position after it.
    quint32 Close_Par_Block(quint32 Position, QByteArray& Destination);

    // Loading the project; a file that is not well-formed XML raises Xml_Parse_Error.
    void Load_ParGen();
    void Load_IEC61850_Variables();
    void Load_TLS_Known_Cert();

    // Data area and bank files. A data area that would not fit the device's
    // memory is refused before anything is written: Too_Large, and no bank
    // is left ready to save.
    Compile_Result Create_Bin();
    // Assigns every device address for a data area at device address Base and
    // writes it into Buffer from Position; nullopt, with nothing written, when
    // its last byte would lie beyond offset Limit or beyond the buffer.
    std::optional<quint32> Build_Data_Area(quint32 Base, quint32 Position, QByteArray& Buffer, quint32 Limit);
    static quint32 Write_UTF8_String(const QString& Text, quint32 Position, QByteArray& Buffer);
    static quint32 Write_Byte_String(const QString& Text, quint32 Position, QByteArray& Buffer);
    // Writes bin/bank1.bin and bin/bank2.bin of the active configuration.
    // Both are written whole and replaced together: on failure neither old
    // file is touched and the system's error text is returned.
    std::expected<void, Write_Error> Save_Bin();

    QString Bank1_Path() const;
    QString Bank2_Path() const;

private:
    const Active_Project& Project;
    std::unique_ptr<Decimal_Separator> System_Separator;
    Decimal_Separator& Separator;
};

// The compile half of the main window's step 6: compiles the active
// configuration and writes both bank files; a refusal or a write failure is
// shown through Prompts. Returns whether the banks were written, which is when
// the update may go on. A malformed project file raises Xml_Parse_Error for
// the general error handler, with no bank file written.
bool Compile_And_Save_Banks(Configuration_Image& Image, const Workspace& Space, Prompter& Prompts);

// UTF-8 byte count as the device stores it.
quint32 Utf8_Length(const QString& Text);

#pragma once

#include "image/Image_Model.h"
#include "platform/File_Write.h"
#include "project/List_File.h"
#include "project/Par_Gen_File.h"

#include <QByteArray>
#include <QString>

#include <expected>
#include <memory>
#include <optional>

class Decimal_Separator;
class QLockFile;
struct Configuration;
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

    // The three project files as read.
    struct Project_Files {
        Par_Gen::Stored General;
        List_File::Stored Variables;
        List_File::Stored Known_Certificates;
    };
    // Reads them; a file that is not well-formed XML raises Xml_Parse_Error.
    Project_Files Read_Project_Files() const;

    // Loading the project files into the image model.
    void Load_ParGen(const Par_Gen::Stored& File);
    void Load_IEC61850_Variables(const List_File::Stored& File);
    void Load_TLS_Known_Cert(const List_File::Stored& File);

    // Data area and bank files. A data area that would not fit the device's
    // memory is refused before anything is written: Too_Large, and no bank
    // is left ready to save. Without Files, the project files are read now.
    Compile_Result Create_Bin();
    Compile_Result Create_Bin(const Project_Files& Files);
    // From an opened configuration; a file of it that is not well-formed
    // raises Xml_Parse_Error with the parser's message.
    Compile_Result Create_Bin(const Configuration& Config);
    // Assigns every device address for a data area at device address Base and
    // writes it into Buffer from Position, which then ends with the area;
    // nullopt, with nothing written, when its last byte would lie beyond
    // offset Limit.
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
    Compile_Result Compile(const Par_Gen::Stored& General, const List_File::Stored& Variables,
                           const List_File::Stored& Known);

    const Active_Project& Project;
    std::unique_ptr<Decimal_Separator> System_Separator;
    Decimal_Separator& Separator;
};

// Why a compile wrote no bank file. Text is the whole message, in the user's
// language, for the window to show and the command line to print.
struct Compile_Failure {
    enum class Kind {
        Not_Well_Formed,  // a project file is not well-formed XML or cannot be read
        Too_Large,        // the configuration does not fit the device's memory
        Busy,             // another compile of the same configuration holds its lock
        Not_Written,      // a bank file could not be written
    };
    Kind What;
    QString Text;
};

// How long a compile waits for another compile of the same configuration
// to finish before it gives up.
constexpr int Compile_Lock_Wait_Ms = 10000;

// Two compiles of one configuration (the window and a build script, or two
// scripts) run one after the other and never mix their banks: each holds a
// lock in the bin folder from reading the project files to the last rename.
// The second waits up to Wait_Ms, then gives up with Busy, naming the
// process that holds the lock. The lock is held while this lives.
class Compile_Lock {
public:
    explicit Compile_Lock(std::unique_ptr<QLockFile> Held);
    Compile_Lock(Compile_Lock&&) noexcept;
    Compile_Lock& operator=(Compile_Lock&&) noexcept;
    ~Compile_Lock();

private:
    std::unique_ptr<QLockFile> Held;
};
// Takes the lock of the configuration of Space (making its bin folder when missing).
std::expected<Compile_Lock, Compile_Failure> Lock_Compiles(const Workspace& Space,
                                                           int Wait_Ms = Compile_Lock_Wait_Ms);

// Compiles Config, opened while Held, and writes both bank files of the
// configuration of Image. Nothing is written on any failure.
std::expected<void, Compile_Failure> Compile_And_Save_Banks(Configuration_Image& Image, const Configuration& Config,
                                                           const Compile_Lock& Held, const Workspace& Space);
// The same with the lock taken and the configuration of Space read under it
// (the window's: a file not saved yet is its defaults).
std::expected<void, Compile_Failure> Compile_And_Save_Banks(Configuration_Image& Image, const Workspace& Space,
                                                           int Wait_Ms = Compile_Lock_Wait_Ms);

// The lock file of a configuration's compiles, in its bin folder.
QString Compile_Lock_Path(const QString& Project_Dir);

// UTF-8 byte count as the device stores it.
quint32 Utf8_Length(const QString& Text);

#pragma once

#include "foundation/Workspace.h"
#include "project/List_File.h"
#include "project/Par_Gen_File.h"

#include <QString>

#include <expected>
#include <optional>

// Why a configuration folder was not opened. Every command that takes a
// configuration folder refuses with this, in these words.
struct Read_Failure {
    QString Path;    // the folder, or the project file that could not be read
    QString Reason;  // the system's reason, or what stands there instead of a file
    enum class Kind {
        Unreadable,         // the folder or a project file that is there cannot be read
        Not_Configuration,  // a folder holding none of the project files: a mistyped path
    };
    Kind What = Kind::Unreadable;

    // "PATH: REASON", or "not a configuration folder: PATH".
    QString Text() const;
};

// A project file as parsed: its contents, or the parser's message (file,
// line and column) when it is not well-formed XML.
template <typename Contents>
using Parsed = std::expected<Contents, QString>;

// One configuration folder, its three project files each read once. A file
// that is not there holds its defaults, as the window and the compiler read
// it; one that is not well-formed holds the parser's message, so that the
// checks can still look at the other two.
struct Configuration {
    // The folder (absolute), its name and the paths of its files.
    Active_Project Files;
    Parsed<Par_Gen::Stored> General;
    Parsed<List_File::Stored> Variables;
    Parsed<List_File::Stored> Known_Certificates;

    // The first file, in reading order, that is not well-formed: its path and
    // the parser's message.
    std::optional<Read_Failure> First_Malformed() const;
};

// Opens the configuration folder Dir: the folder must be there, hold at least
// one of the project files, and each project file that is there must be a
// regular file that can be read. A FIFO or a device is never opened for
// reading (it could wait for a writer). Nothing is written.
std::expected<Configuration, Read_Failure> Open_Configuration(const QString& Dir);

// The two halves of opening, for a caller that takes a lock in between:
// the folder and its file paths, found without reading a file, then the
// files read.
std::expected<Active_Project, Read_Failure> Find_Configuration(const QString& Dir);
std::expected<Configuration, Read_Failure> Read_Configuration(const Active_Project& Found);

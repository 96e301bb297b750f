#pragma once

#include <QByteArray>
#include <QString>

#include <expected>
#include <optional>

// Why a file was not read.
struct Read_Error {
    bool Missing = false;  // nothing at the path: the caller's defaults apply
    QString Text;          // the system's description, or what the path is instead of a file
};

// The whole content of the regular file at Path. A path naming a directory,
// a FIFO, a socket or a device is refused by what it is, before it is opened;
// the file is opened non-blocking, so a FIFO put in its place in between
// cannot hold the program, and is refused after the open all the same.
std::expected<QByteArray, Read_Error> Read_Regular_File(const QString& Path);

// Why Path cannot be read as a regular file, found without reading it: a
// path naming anything but a regular file is never opened, and a regular one
// only to learn that it opens. Nothing when it can be read.
std::optional<Read_Error> Regular_File_Problem(const QString& Path);

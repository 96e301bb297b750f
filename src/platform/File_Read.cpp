#include "platform/File_Read.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Not_A_File(mode_t Mode)
{
    if (S_ISDIR(Mode))
        return QStringLiteral("not a regular file but a folder");
    if (S_ISFIFO(Mode))
        return QStringLiteral("not a regular file but a FIFO");
    if (S_ISSOCK(Mode))
        return QStringLiteral("not a regular file but a socket");
    if (S_ISCHR(Mode) || S_ISBLK(Mode))
        return QStringLiteral("not a regular file but a device");
    return QStringLiteral("not a regular file");
}

std::unexpected<Read_Error> System_Error(int Code)
{
    return std::unexpected(Read_Error{Code == ENOENT || Code == ENOTDIR, qt_error_string(Code)});
}

} // namespace

std::expected<QByteArray, Read_Error> Read_Regular_File(const QString& Path)
{
    const QByteArray Native = QFile::encodeName(Path);
    struct stat Before {};
    if (::stat(Native.constData(), &Before) != 0)
        return System_Error(errno);
    if (!S_ISREG(Before.st_mode))
        return std::unexpected(Read_Error{false, Not_A_File(Before.st_mode)});
    const int Descriptor = ::open(Native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (Descriptor < 0)
        return System_Error(errno);
    struct stat Opened {};
    if (::fstat(Descriptor, &Opened) != 0 || !S_ISREG(Opened.st_mode)) {
        const int Code = errno;
        ::close(Descriptor);
        return std::unexpected(Read_Error{false, S_ISREG(Opened.st_mode) ? qt_error_string(Code) : Not_A_File(Opened.st_mode)});
    }
    QFile File;
    if (!File.open(Descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(Descriptor);
        return std::unexpected(Read_Error{false, File.errorString()});
    }
    QByteArray Data = File.readAll();
    if (File.error() != QFileDevice::NoError)
        return std::unexpected(Read_Error{false, File.errorString()});
    return Data;
}

std::optional<Read_Error> Regular_File_Problem(const QString& Path)
{
    const QByteArray Native = QFile::encodeName(Path);
    struct stat Found {};
    if (::stat(Native.constData(), &Found) != 0)
        return System_Error(errno).error();
    if (!S_ISREG(Found.st_mode))
        return Read_Error{false, Not_A_File(Found.st_mode)};
    const int Descriptor = ::open(Native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (Descriptor < 0)
        return System_Error(errno).error();
    ::close(Descriptor);
    return std::nullopt;
}

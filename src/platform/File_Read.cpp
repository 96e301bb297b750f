#include "platform/File_Read.h"

#ifdef Q_OS_WIN

#include "platform/Windows_Error.h"
#include "platform/Windows_Path.h"

#include <QDir>
#include <QFileInfo>

#include <memory>
#include <limits>
#include <string>

#include <windows.h>

namespace {

// The path as the wide-character API takes it. Past MAX_PATH it takes only
// the "\\?\" form, which it does not clean up: made absolute and clean first.
std::wstring Native(const QString& Path)
{
    const QString Given = QDir::toNativeSeparators(Path);
    if (Given.size() < MAX_PATH - 12 || Given.startsWith(QLatin1String("\\\\?\\"))
        || Given.startsWith(QLatin1String("\\\\.\\")))
        return Given.toStdWString();
    const QString Full = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(Path).absoluteFilePath()));
    if (Full.startsWith(QLatin1String("\\\\")))
        return (QStringLiteral("\\\\?\\UNC\\") + Full.mid(2)).toStdWString();
    return (QStringLiteral("\\\\?\\") + Full).toStdWString();
}

std::unexpected<Read_Error> System_Error(DWORD Code)
{
    return std::unexpected(Read_Error{Code == ERROR_FILE_NOT_FOUND || Code == ERROR_PATH_NOT_FOUND,
                                      Windows_Error_Text(Code)});
}

// The path's own entry, links not followed: what it is when it is no file.
std::optional<Read_Error> Not_A_File(const WIN32_FILE_ATTRIBUTE_DATA& Found)
{
    if (Found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return Read_Error{false, QStringLiteral("not a regular file but a link")};
    if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return Read_Error{false, QStringLiteral("not a regular file but a folder")};
    if (Found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)
        return Read_Error{false, QStringLiteral("not a regular file but a device")};
    return std::nullopt;
}

struct Handle_Closer {
    void operator()(HANDLE Handle) const { ::CloseHandle(Handle); }
};
using Open_Handle = std::unique_ptr<void, Handle_Closer>;

// Opens the path's own entry for reading (a link is opened as the link, not
// followed) and makes sure it is a regular file on a disk.
std::expected<Open_Handle, Read_Error> Open_Regular(const QString& Path)
{
    if (const auto Problem = Windows_Path_Problem(Path))
        return std::unexpected(Read_Error{false, *Problem});
    const std::wstring Name = Native(Path);
    WIN32_FILE_ATTRIBUTE_DATA Found{};
    if (!::GetFileAttributesExW(Name.c_str(), GetFileExInfoStandard, &Found))
        return System_Error(::GetLastError());
    if (const auto Problem = Not_A_File(Found))
        return std::unexpected(*Problem);
    HANDLE Raw = ::CreateFileW(Name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN,
                               nullptr);
    if (Raw == INVALID_HANDLE_VALUE)
        return System_Error(::GetLastError());
    Open_Handle Handle(Raw);
    // Whatever was put in its place in between is looked at once more.
    switch (::GetFileType(Raw)) {
    case FILE_TYPE_DISK:
        break;
    case FILE_TYPE_PIPE:
        return std::unexpected(Read_Error{false, QStringLiteral("not a regular file but a named pipe")});
    default:
        return std::unexpected(Read_Error{false, QStringLiteral("not a regular file but a device")});
    }
    BY_HANDLE_FILE_INFORMATION Opened{};
    if (!::GetFileInformationByHandle(Raw, &Opened))
        return System_Error(::GetLastError());
    WIN32_FILE_ATTRIBUTE_DATA Again{};
    Again.dwFileAttributes = Opened.dwFileAttributes;
    if (const auto Problem = Not_A_File(Again))
        return std::unexpected(*Problem);
    return Handle;
}

} // namespace

std::expected<QByteArray, Read_Error> Read_Regular_File(const QString& Path)
{
    auto Handle = Open_Regular(Path);
    if (!Handle)
        return std::unexpected(Handle.error());
    LARGE_INTEGER Size{};
    if (!::GetFileSizeEx(Handle->get(), &Size))
        return System_Error(::GetLastError());
    if (Size.QuadPart > static_cast<LONGLONG>(std::numeric_limits<qsizetype>::max() / 2))
        return std::unexpected(Read_Error{false, Windows_Error_Text(ERROR_NOT_ENOUGH_MEMORY)});
    QByteArray Data;
    Data.reserve(static_cast<qsizetype>(Size.QuadPart));
    char Buffer[65536];
    for (;;) {
        DWORD Got = 0;
        if (!::ReadFile(Handle->get(), Buffer, sizeof Buffer, &Got, nullptr))
            return System_Error(::GetLastError());
        if (Got == 0)
            break;
        Data.append(Buffer, Got);
    }
    return Data;
}

std::optional<Read_Error> Regular_File_Problem(const QString& Path)
{
    const auto Handle = Open_Regular(Path);
    if (!Handle)
        return Handle.error();
    return std::nullopt;
}

#else

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

#endif

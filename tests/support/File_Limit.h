#pragma once

// POSIX only: Windows has no file-size limit of a process.
#ifndef _WIN32

#include <csignal>
#include <sys/resource.h>

// Makes every file write of this process beyond Bytes fail, as on a full
// disk, until it goes out of scope. Works for any user, root included.
class File_Size_Limit {
public:
    explicit File_Size_Limit(rlim_t Bytes)
    {
        Old_Handler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &Old);
        rlimit Limited = Old;
        Limited.rlim_cur = Bytes;
        setrlimit(RLIMIT_FSIZE, &Limited);
    }
    ~File_Size_Limit()
    {
        setrlimit(RLIMIT_FSIZE, &Old);
        std::signal(SIGXFSZ, Old_Handler);
    }
    File_Size_Limit(const File_Size_Limit&) = delete;
    File_Size_Limit& operator=(const File_Size_Limit&) = delete;

private:
    rlimit Old{};
    void (*Old_Handler)(int) = nullptr;
};

#endif

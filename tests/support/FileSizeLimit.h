#pragma once

#include <sys/resource.h>

// A full disk for this process, for as long as it lives, without any privilege: no file may grow past `bytes`
// (RLIMIT_FSIZE), and a write past it fails instead of ending the process (SIGXFSZ ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit before_{};
    void (*handler_)(int) = nullptr;
};

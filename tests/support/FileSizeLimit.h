#pragma once

#include <csignal>
#include <sys/resource.h>

// A full disk for this process, with no privilege needed: while it lives, no file grows past `bytes`, and a write
// that would grow one fails with EFBIG as a full disk fails with ENOSPC, instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    struct sigaction previousAction_ {};
};

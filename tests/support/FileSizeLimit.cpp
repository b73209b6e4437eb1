#include "tests/support/FileSizeLimit.h"

#include <QtGlobal>
#include <csignal>

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    handler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &before_);
    // Only the soft limit is lowered, so that the process may raise it again.
    const rlimit limited{bytes, before_.rlim_max};
    if (setrlimit(RLIMIT_FSIZE, &limited) != 0)
        qFatal("cannot limit the size of files");
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &before_);
    std::signal(SIGXFSZ, handler_);
}

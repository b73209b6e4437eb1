#include "tests/support/StandardStreams.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

QByteArray caught(QTemporaryFile& file) {
    std::fflush(stdout);
    std::fflush(stderr);
    file.seek(0);
    return file.readAll();
}

} // namespace

StandardStreams::StandardStreams(const QByteArray& input, const QString& output) {
    if (!output_.open() || !errors_.open())
        qFatal("cannot make files for the output");
    std::fflush(stdout);
    std::fflush(stderr);
    for (int stream = 0; stream < 3; ++stream)
        saved_[stream] = ::dup(stream);
    // The pipe is made large enough to hold the input whole, so it is written before anyone reads.
    int pipe[2];
    if (::pipe(pipe) != 0 || (input.size() > 65536 && ::fcntl(pipe[1], F_SETPIPE_SZ, int(input.size())) < 0) ||
        ::write(pipe[1], input.constData(), size_t(input.size())) != input.size())
        qFatal("cannot feed standard input");
    ::close(pipe[1]);
    ::dup2(pipe[0], STDIN_FILENO);
    ::close(pipe[0]);
    const int out = output.isEmpty() ? ::dup(output_.handle()) : ::open(output.toLocal8Bit().constData(), O_WRONLY);
    ::dup2(out, STDOUT_FILENO);
    ::close(out);
    ::dup2(errors_.handle(), STDERR_FILENO);
}

StandardStreams::~StandardStreams() {
    std::fflush(stdout);
    std::fflush(stderr);
    for (int stream = 0; stream < 3; ++stream) {
        ::dup2(saved_[stream], stream);
        ::close(saved_[stream]);
    }
}

QByteArray StandardStreams::output() {
    return caught(output_);
}

QByteArray StandardStreams::errors() {
    return caught(errors_);
}

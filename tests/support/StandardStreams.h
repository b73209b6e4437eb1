#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>

// Standard input, output and error of this process taken over for as long as it lives, as a shell's pipe and
// redirections take them over for a command: standard input gives `input` through a pipe and ends, standard output
// goes to the file `output` (a device, a FIFO) or is caught, standard error is caught.
class StandardStreams {
public:
    explicit StandardStreams(const QByteArray& input = {}, const QString& output = {});
    ~StandardStreams();
    StandardStreams(const StandardStreams&) = delete;
    StandardStreams& operator=(const StandardStreams&) = delete;

    QByteArray output();
    QByteArray errors();

private:
    QTemporaryFile output_;
    QTemporaryFile errors_;
    int saved_[3];
};

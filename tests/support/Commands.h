#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A command of the program run as the program runs it (arguments starting with the command's name), with standard
// input giving `input` and standard output going to the file `output` or caught, as StandardStreams takes them.
struct CommandRun {
    int exit = 0;
    QByteArray output;
    QByteArray errors;
};
CommandRun runCommand(const QStringList& arguments, const QByteArray& input = {}, const QString& output = {});

// The same, with Ctrl+C pressed once `journal` appears: in the middle of the command's transaction, where being
// ended would leave the journal behind, hot.
CommandRun runCommandStoppedWhileWriting(const QStringList& arguments, const QString& journal);

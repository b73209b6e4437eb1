#pragma once

#include "desktop/Launch.h"

#include <QList>
#include <QString>
#include <optional>

class QWidget;

// Stands in for the desktop's default handler and the players, and keeps every call the shell received and every
// program a station was handed to.
class ShellRecorder {
public:
    struct Call {
        QWidget* owner;
        QString operation;
        QString file;
        QString parameters;
        QString directory;
        int showCommand;
    };

    ShellRecorder();
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    // What the shell answers from now on: ShellExecuteA's classic code, above 32 when the address was taken.
    // A hand-off that is not taken is a program that cannot be started.
    void answerWith(long result) { result_ = result; }
    // From now on a started hand-off ends with this error within its first seconds.
    void failWith(const QString& why) { failure_ = why; }

    // The programs stations were handed to, with their arguments.
    const QList<HandOff>& handOffs() const { return handOffs_; }

    const QList<Call>& calls() const { return calls_; }
    QStringList files() const;
    void clear() {
        calls_.clear();
        handOffs_.clear();
    }

private:
    QList<Call> calls_;
    QList<HandOff> handOffs_;
    long result_ = 42;
    std::optional<QString> failure_;
};

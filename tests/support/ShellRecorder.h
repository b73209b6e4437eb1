#pragma once

#include "desktop/Launch.h"

#include <QList>
#include <QString>
#include <optional>

// Stands in for the desktop's default handler and the players, and keeps every address opened and every program a
// station was handed to.
class ShellRecorder {
public:
    ShellRecorder();
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    // Whether the desktop takes an address from now on; a hand-off not taken is a program that cannot be started.
    void answerWith(bool taken) { taken_ = taken; }
    // From now on a started hand-off ends with this error within its first seconds.
    void failWith(const QString& why) { failure_ = why; }

    // The programs stations were handed to, with their arguments.
    const QList<HandOff>& handOffs() const { return handOffs_; }

    // Every address opened or handed to a program, in order.
    const QStringList& files() const { return files_; }
    void clear() {
        files_.clear();
        handOffs_.clear();
    }

private:
    QStringList files_;
    QList<HandOff> handOffs_;
    bool taken_ = true;
    std::optional<QString> failure_;
};

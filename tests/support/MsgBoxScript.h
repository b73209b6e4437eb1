#pragma once

#include "runtime/MsgBox.h"

#include <QList>
#include <QString>

// Answers message boxes in place of the user and keeps every box that was shown.
// While it lives, no real box opens and the questions of the parts below the windows are boxes too. A box with no
// scripted answer gets its default button (OK, Abort or Yes), as if the user pressed Enter, so a test can never hang on
// a box that keeps coming back.
class MsgBoxScript {
public:
    struct Box {
        QString prompt;
        MsgBoxButtons buttons;
        QString title;
    };

    MsgBoxScript();
    ~MsgBoxScript();
    MsgBoxScript(const MsgBoxScript&) = delete;
    MsgBoxScript& operator=(const MsgBoxScript&) = delete;

    void answerNext(MsgBoxResult answer) { answers_.append(answer); }
    const QList<Box>& boxes() const { return boxes_; }
    QStringList prompts() const;
    void clear() {
        boxes_.clear();
        answers_.clear();
    }

private:
    QList<MsgBoxResult> answers_;
    QList<Box> boxes_;
};

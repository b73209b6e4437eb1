#pragma once

#include "platform/Seam.h"

#include <QString>

// The modal message box every window uses. Button sets and answers keep their classic values, so a handler
// reads like the dialogue it shows: MsgBox("...", vbAbortRetryIgnore, "错误信息") == vbRetry.
enum MsgBoxButtons { vbOKOnly = 0, vbAbortRetryIgnore = 2 };
enum MsgBoxResult { vbOK = 1, vbAbort = 3, vbRetry = 4, vbIgnore = 5 };

// Caption of every box that is given no title of its own.
inline const QString AppTitle = QStringLiteral("Vimaro2.0");

// Shows the box and waits for the user's answer. An empty title shows the application title.
MsgBoxResult MsgBox(const QString& prompt, MsgBoxButtons buttons = vbOKOnly, const QString& title = {});

// Tests answer boxes here instead of a user; the title reaching it is already the one shown.
extern Seam<MsgBoxResult(const QString& prompt, MsgBoxButtons buttons, const QString& title)> msgBoxSeam;

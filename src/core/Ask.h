#pragma once

#include <QString>
#include <functional>

// Button sets and answers of a question to the user, with the classic message box's values, so that the code that
// asks reads like the dialogue it shows: ask("...", vbAbortRetryIgnore, "错误信息") == vbRetry.
enum MsgBoxButtons { vbOKOnly = 0, vbAbortRetryIgnore = 2, vbYesNo = 4 };
enum MsgBoxResult { vbOK = 1, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// Who answers the questions the parts below the windows ask: the windows a message box, nobody else. An empty title
// is the application's.
using Asker = std::function<MsgBoxResult(const QString& prompt, MsgBoxButtons buttons, const QString& title)>;

// From now on questions go to `asker`; an empty one gives them back to the terminal.
void answerQuestionsWith(Asker asker);

// Asks the user and waits for the answer. Without an asker, as in a command, the prompt is a line on standard
// error and the answer the one that goes no further: OK, Abort or No.
MsgBoxResult ask(const QString& prompt, MsgBoxButtons buttons = vbOKOnly, const QString& title = {});

// Tells the user what happened after the asking part returned, a failed start of a player for one; the windows
// give a box that belongs to the window that asked, while it lives.
using Teller = std::function<void(const QString& text)>;

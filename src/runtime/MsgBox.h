#pragma once

#include "core/Ask.h"
#include "core/Seam.h"

#include <QPointer>
#include <QString>
#include <QWidget>

// The modal message box every window uses, with the classic button sets and answers of core/Ask.h, so a handler
// reads like the dialogue it shows: MsgBox("...", vbAbortRetryIgnore, "错误信息") == vbRetry.

// Caption of every box that is given no title of its own.
inline const QString AppTitle = QStringLiteral("Vimaro2.0");

// Shows the box and waits for the user's answer. An empty title shows the application title. The box belongs to
// the window that asked (the one whose handler runs, else the program's active window) and stays above every
// window of the program, those that stay on top included.
MsgBoxResult MsgBox(const QString& prompt, MsgBoxButtons buttons = vbOKOnly, const QString& title = {});

// While it lives, boxes belong to `window`; the event edge names the window whose handler runs.
class AskingWindow {
public:
    explicit AskingWindow(QWidget& window);
    ~AskingWindow();
    AskingWindow(const AskingWindow&) = delete;
    AskingWindow& operator=(const AskingWindow&) = delete;

    // The window a box shown now belongs to, or none.
    static QWidget* current();

private:
    QPointer<QWidget> outer_;
};

// What the parts below the windows tell the user later, in a box that belongs to `window` while it lives and to the
// program's active window after.
Teller tellInBox(QWidget& window);

// Tests answer boxes here instead of a user; the title reaching it is already the one shown.
extern Seam<MsgBoxResult(const QString& prompt, MsgBoxButtons buttons, const QString& title)> msgBoxSeam;

#include "runtime/MsgBox.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

namespace {

QPointer<QWidget> askingWindow;

QWidget* owner() {
    if (QWidget* asking = AskingWindow::current())
        return asking;
    return QApplication::activeWindow();
}

// A screen reader announces an alert with its text as soon as it opens; a plain dialog it may only name by its title.
QAccessibleInterface* boxAccessible(const QString&, QObject* object) {
    if (auto* box = qobject_cast<QMessageBox*>(object))
        return new QAccessibleWidget(box, QAccessible::AlertMessage);
    return nullptr;
}

MsgBoxResult showBox(const QString& prompt, MsgBoxButtons buttons, const QString& title) {
    [[maybe_unused]] static const bool accessible = (QAccessible::installFactory(boxAccessible), true);
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::NoButton, owner());
    box.setAccessibleDescription(prompt);
    // The main window and the browser panels stay on top; a box below them would leave the program looking frozen.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    // Ctrl+C copies the message, as message boxes on Windows do, so that a reason can be pasted into a report.
    QObject::connect(new QShortcut(QKeySequence::Copy, &box), &QShortcut::activated,
                     [&box] { QApplication::clipboard()->setText(box.text()); });
    if (buttons == vbOKOnly) {
        box.setDefaultButton(box.addButton(QMessageBox::Ok));
        box.exec();
        return vbOK;
    }
    struct Choice {
        QMessageBox::StandardButton button;
        MsgBoxResult answer;
    };
    const QList<Choice> choices = buttons == vbYesNo ? QList<Choice>{{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}
                                                     : QList<Choice>{{QMessageBox::Abort, vbAbort},
                                                                     {QMessageBox::Retry, vbRetry},
                                                                     {QMessageBox::Ignore, vbIgnore}};
    // Qt would order standard buttons by their roles, Abort last; one role for all keeps the asked order.
    QList<QAbstractButton*> shown;
    for (const Choice& choice : choices) {
        QPushButton* button = box.addButton(choice.button);
        box.addButton(button, QMessageBox::ActionRole);
        shown.append(button);
    }
    box.setDefaultButton(static_cast<QPushButton*>(shown[0]));
    box.exec();
    // Closing the box by its window frame is taken as Abort, or as No to a question.
    const qsizetype chosen = shown.indexOf(box.clickedButton());
    if (chosen < 0)
        return buttons == vbYesNo ? vbNo : vbAbort;
    return choices[chosen].answer;
}

} // namespace

Seam<MsgBoxResult(const QString&, MsgBoxButtons, const QString&)> msgBoxSeam{showBox};

MsgBoxResult MsgBox(const QString& prompt, MsgBoxButtons buttons, const QString& title) {
    return msgBoxSeam(prompt, buttons, title.isEmpty() ? AppTitle : title);
}

AskingWindow::AskingWindow(QWidget& window) : outer_(std::exchange(askingWindow, &window)) {}

AskingWindow::~AskingWindow() {
    askingWindow = outer_;
}

QWidget* AskingWindow::current() {
    return askingWindow;
}

Teller tellInBox(QWidget& window) {
    return [window = QPointer<QWidget>(&window)](const QString& text) {
        if (!window) {
            MsgBox(text);
            return;
        }
        AskingWindow asking(*window);
        MsgBox(text);
    };
}

#include "platform/MsgBox.h"

#include <QApplication>
#include <QClipboard>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTranslator>

namespace {

QPointer<QWidget> askingWindow;

QWidget* owner() {
    if (QWidget* asking = AskingWindow::current())
        return asking;
    return QApplication::activeWindow();
}

MsgBoxResult showBox(const QString& prompt, MsgBoxButtons buttons, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::NoButton, owner());
    // The main window and the browser panels stay on top; a box below them would leave the program looking frozen.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    // Ctrl+C copies the message, as message boxes on Windows do, so that a reason can be pasted into a report.
    QObject::connect(new QShortcut(QKeySequence::Copy, &box), &QShortcut::activated,
                     [&box] { QApplication::clipboard()->setText(box.text()); });
    if (buttons != vbAbortRetryIgnore) {
        box.setDefaultButton(box.addButton(QMessageBox::Ok));
        box.exec();
        return vbOK;
    }
    // Qt would order standard buttons by their roles, Abort last; one role for all three keeps the asked order.
    QList<QAbstractButton*> choices;
    for (QMessageBox::StandardButton button : {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}) {
        QPushButton* choice = box.addButton(button);
        box.addButton(choice, QMessageBox::ActionRole);
        choices.append(choice);
    }
    box.setDefaultButton(static_cast<QPushButton*>(choices[0]));
    box.exec();
    // Closing the box by its window frame is taken as its default button, Abort.
    const MsgBoxResult answers[] = {vbAbort, vbRetry, vbIgnore};
    const qsizetype chosen = choices.indexOf(box.clickedButton());
    return chosen < 0 ? vbAbort : answers[chosen];
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

void loadQtChineseTranslations() {
    auto* translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

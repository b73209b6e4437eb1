#include "platform/MsgBox.h"

#include <QMessageBox>

namespace {

MsgBoxResult showBox(const QString& prompt, MsgBoxButtons buttons, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, prompt);
    if (buttons == vbAbortRetryIgnore) {
        box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
        box.setDefaultButton(QMessageBox::Abort);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Abort:
        return vbAbort;
    case QMessageBox::Retry:
        return vbRetry;
    case QMessageBox::Ignore:
        return vbIgnore;
    default:
        // Closing an Abort/Retry/Ignore box by its window frame is taken as its default button.
        return buttons == vbAbortRetryIgnore ? vbAbort : vbOK;
    }
}

} // namespace

Seam<MsgBoxResult(const QString&, MsgBoxButtons, const QString&)> msgBoxSeam{showBox};

MsgBoxResult MsgBox(const QString& prompt, MsgBoxButtons buttons, const QString& title) {
    return msgBoxSeam(prompt, buttons, title.isEmpty() ? AppTitle : title);
}

#include "runtime/Guard.h"

#include "core/FileFailure.h"
#include "runtime/MsgBox.h"

#include <exception>

using namespace Qt::StringLiterals;

void guarded(QWidget& window, const QString& doing, const std::function<void()>& handler) {
    const AskingWindow asking(window);
    try {
        handler();
    } catch (const std::exception& failure) {
        MsgBox(u"无法%1：%2"_s.arg(doing, failureText(failure)));
    }
}

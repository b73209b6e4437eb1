#include "runtime/Screen.h"

#include <QCursor>
#include <QGuiApplication>

namespace Screen {

void setMousePointer(MousePointerShape shape) {
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (shape == vbHourglass)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

MousePointerShape MousePointer() {
    return QGuiApplication::overrideCursor() ? vbHourglass : vbDefault;
}

} // namespace Screen

#include "tests/support/Mouse.h"

#include "platform/Controls.h"

#include <QTest>
#include <QWindow>

namespace Mouse {

namespace {

QWindow* windowOf(QWidget& control) {
    QWindow* window = control.window()->windowHandle();
    if (!window || !control.isVisible())
        qFatal("%s is not on the screen", qPrintable(control.objectName()));
    return window;
}

QPoint inWindow(QWidget& control, QPoint inControl) {
    return control.mapTo(control.window(), inControl);
}

} // namespace

void press(QWidget& control, Qt::MouseButton button) {
    QTest::mousePress(windowOf(control), button, {}, inWindow(control, control.rect().center()));
}

void release(QWidget& control, Qt::MouseButton button) {
    QTest::mouseRelease(windowOf(control), button, {}, inWindow(control, control.rect().center()));
}

void releaseOutside(QWidget& control, Qt::MouseButton button) {
    // The window's own border pixel, where no control lies.
    const QPoint outside(0, 0);
    QTest::mouseMove(windowOf(control), outside);
    QTest::mouseRelease(windowOf(control), button, {}, outside);
}

void click(QWidget& control, Qt::MouseButton button) {
    press(control, button);
    release(control, button);
}

void chooseLine(ListBox& list, int row) {
    const QRect line = list.visualItemRect(list.item(row));
    if (!line.isValid())
        qFatal("the list has no line %d", row);
    QWidget& viewport = *list.viewport();
    QTest::mouseClick(windowOf(list), Qt::LeftButton, {}, inWindow(viewport, line.center()));
}

} // namespace Mouse

#include "tests/support/Mouse.h"

#include "runtime/Controls.h"

#include <QAbstractItemView>
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
    const QModelIndex index = list.model()->index(row, 0);
    list.scrollTo(index);
    const QRect line = list.visualRect(index);
    if (!line.isValid())
        qFatal("the list has no line %d", row);
    QWidget& viewport = *list.viewport();
    QTest::mouseClick(windowOf(list), Qt::LeftButton, {}, inWindow(viewport, line.center()));
}

void chooseItem(ComboBox& box, int row) {
    windowOf(box);
    box.showPopup();
    QAbstractItemView& list = *box.view();
    if (!QTest::qWaitForWindowExposed(list.window()))
        qFatal("the list of %s never opened", qPrintable(box.objectName()));
    const QRect line = list.visualRect(list.model()->index(row, 0));
    if (!line.isValid())
        qFatal("%s has no line %d", qPrintable(box.objectName()), row);
    QWidget& viewport = *list.viewport();
    // The open list takes a release only after the pointer has moved over it, as a user's hand does.
    QTest::mouseMove(windowOf(viewport), inWindow(viewport, line.center()));
    QTest::mouseClick(windowOf(viewport), Qt::LeftButton, {}, inWindow(viewport, line.center()));
}

} // namespace Mouse

#include "tests/support/Keyboard.h"

#include <QTest>

namespace Keyboard {

void type(QWidget& control, const QString& text) {
    // QTest::keyClicks takes Latin-1 only; a key of unknown code that carries its text types any character.
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, &control, Qt::Key_unknown, QString(character), Qt::NoModifier);
}

} // namespace Keyboard

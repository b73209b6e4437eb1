#pragma once

#include <QString>

class QWidget;

// The keyboard as a user works it.
namespace Keyboard {
// Types `text`, Chinese included, one key per character, into the control.
void type(QWidget& control, const QString& text);
} // namespace Keyboard

#pragma once

#include <Qt>

class ComboBox;
class ListBox;
class QWidget;

// The mouse as a user works it, sent to the window so that Qt routes it: a release goes to the control that
// received the press, wherever it happens.
namespace Mouse {
void press(QWidget& control, Qt::MouseButton button = Qt::LeftButton);
void release(QWidget& control, Qt::MouseButton button = Qt::LeftButton);
// Released after the pointer has left the control for the window's edge.
void releaseOutside(QWidget& control, Qt::MouseButton button = Qt::LeftButton);
void click(QWidget& control, Qt::MouseButton button = Qt::LeftButton);
// Clicks line `row` of a list.
void chooseLine(ListBox& list, int row);
// Opens the list of a combo box and clicks its line `row`.
void chooseItem(ComboBox& box, int row);
} // namespace Mouse

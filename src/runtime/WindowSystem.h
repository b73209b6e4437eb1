#pragma once

#include "core/Seam.h"

#include <QString>

class QWidget;

// What the windows want of the window system and the desktop, said as what they want. The classic calls of
// Module1 come down to these.
namespace WindowSystem {

// Puts the window into the band that stays above all others, or takes it out, without moving, resizing or hiding it.
void setStaysOnTop(QWidget& window, bool above);

// Ends the mouse capture the pressed control holds.
void releaseMouse();

// The user moves the window with the mouse as if by its title bar. Returns once the window system has taken the move
// over, or once the button is released where it will not.
void startMove(QWidget& window);

// Hands the address to the desktop's default handler, Unicode intact, through no command shell. True when the
// handler took it.
bool openAddress(const QString& address);

// Test seams: what moving a window by the mouse does, and what opening an address does.
extern Seam<void(QWidget& window)> startMoveSeam;
extern Seam<bool(const QString& address)> openAddressSeam;

} // namespace WindowSystem

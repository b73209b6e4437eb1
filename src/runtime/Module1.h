#pragma once

#include "core/Seam.h"

#include <QString>

class QWidget;

// The window-system calls the windows make, under their classic names and arguments. Results are returned
// but the windows never look at them.
namespace Module1 {

inline constexpr int HWND_TOPMOST = -1;
inline constexpr int HWND_NOTOPMOST = -2;
inline constexpr int SWP_NOSIZE = 1;
inline constexpr int SWP_NOMOVE = 2;
inline constexpr int WM_NCLBUTTONDOWN = 161;
inline constexpr int HTCAPTION = 2;
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;

// Puts the window into the band that stays above all others (HWND_TOPMOST) or takes it out (HWND_NOTOPMOST),
// without moving, resizing or hiding it.
long SetWindowPos(QWidget& hwnd, int hWndInsertAfter, int x, int y, int cx, int cy, int wFlags);

// Ends the mouse capture the pressed control holds.
long ReleaseCapture();

// With WM_NCLBUTTONDOWN and HTCAPTION: the user moves the window with the mouse as if by its title bar.
// Returns once the window system has taken the move over, or once the button is released where it will not.
long SendMessageA(QWidget& hwnd, int wMsg, int wParam, long& lParam);

// Hands the address to the desktop's default handler, Unicode intact, through no command shell.
// A null parameter or directory is QString(), an empty one "".
long ShellExecuteA(QWidget* hwnd, const QString& lpOperation, const QString& lpFile, const QString& lpParameters,
                   const QString& lpDirectory, int nShowCmd);

// Test seams: what moving a window by the mouse does, and what the shell is asked to open.
extern Seam<void(QWidget& window)> moveWithMouseSeam;
extern Seam<long(QWidget* owner, const QString& operation, const QString& file, const QString& parameters,
                 const QString& directory, int showCommand)>
    shellSeam;

} // namespace Module1

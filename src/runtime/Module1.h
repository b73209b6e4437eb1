#pragma once

#include <QString>

class QWidget;

// The window-system calls the windows make where their design names them, under their classic names and arguments.
// Each comes down to one wish of runtime/WindowSystem.h; the arguments that wish has no use for are not read.
namespace Module1 {

inline constexpr int HWND_TOPMOST = -1;
inline constexpr int HWND_NOTOPMOST = -2;
inline constexpr int SWP_NOSIZE = 1;
inline constexpr int SWP_NOMOVE = 2;
inline constexpr int WM_NCLBUTTONDOWN = 161;
inline constexpr int HTCAPTION = 2;
inline constexpr int SW_HIDE = 0;

// With HWND_TOPMOST the window stays above all others, with HWND_NOTOPMOST no longer: setStaysOnTop.
long SetWindowPos(QWidget& hwnd, int hWndInsertAfter, int x, int y, int cx, int cy, int wFlags);

// releaseMouse.
long ReleaseCapture();

// With WM_NCLBUTTONDOWN and HTCAPTION: startMove.
long SendMessageA(QWidget& hwnd, int wMsg, int wParam, long& lParam);

// openAddress of lpFile, answered with the classic code: above 32 when the desktop's handler took it.
long ShellExecuteA(QWidget* hwnd, const QString& lpOperation, const QString& lpFile, const QString& lpParameters,
                   const QString& lpDirectory, int nShowCmd);

} // namespace Module1

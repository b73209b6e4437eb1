#include "runtime/Module1.h"

#include "runtime/WindowSystem.h"

namespace Module1 {

long SetWindowPos(QWidget& hwnd, int hWndInsertAfter, int, int, int, int, int) {
    WindowSystem::setStaysOnTop(hwnd, hWndInsertAfter == HWND_TOPMOST);
    return 1;
}

long ReleaseCapture() {
    WindowSystem::releaseMouse();
    return 1;
}

long SendMessageA(QWidget& hwnd, int wMsg, int wParam, long&) {
    if (wMsg == WM_NCLBUTTONDOWN && wParam == HTCAPTION)
        WindowSystem::startMove(hwnd);
    return 0;
}

long ShellExecuteA(QWidget*, const QString&, const QString& lpFile, const QString&, const QString&, int) {
    // The classic answer: above 32 when the handler took the file.
    return WindowSystem::openAddress(lpFile) ? 33 : 31;
}

} // namespace Module1

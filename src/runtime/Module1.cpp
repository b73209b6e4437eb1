#include "runtime/Module1.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <QWindow>

namespace Module1 {

namespace {

// Moves the window after the mouse until the left button is released: used where the window system will not
// move the window itself (no window manager, or a platform without one).
class FollowMouse : public QObject {
public:
    explicit FollowMouse(QWidget& window) : window_(window), grabOffset_(QCursor::pos() - window.pos()) {}

    void run() {
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
            return;
        qApp->installEventFilter(this);
        loop_.exec();
        qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            const auto* move = static_cast<QMouseEvent*>(event);
            window_.move(move->globalPosition().toPoint() - grabOffset_);
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            loop_.quit();
        }
        return false;
    }

private:
    QWidget& window_;
    QPoint grabOffset_;
    QEventLoop loop_;
};

void moveWithMouse(QWidget& window) {
    if (window.windowHandle() && window.windowHandle()->startSystemMove())
        return;
    FollowMouse(window).run();
}

long openWithDefaultHandler(QWidget*, const QString&, const QString& file, const QString&, const QString&, int) {
    // QUrl keeps the address as Unicode; the handler receives it percent-encoded, never through a shell.
    return QDesktopServices::openUrl(QUrl(file)) ? 33 : 31;
}

} // namespace

Seam<void(QWidget&)> moveWithMouseSeam{moveWithMouse};
Seam<long(QWidget*, const QString&, const QString&, const QString&, const QString&, int)> shellSeam{
    openWithDefaultHandler};

long SetWindowPos(QWidget& hwnd, int hWndInsertAfter, int, int, int, int, int) {
    Qt::WindowFlags flags = hwnd.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, hWndInsertAfter == HWND_TOPMOST);
    // setWindowFlags() would hide a shown window and make it anew; changing the flags in place does not.
    hwnd.overrideWindowFlags(flags);
    if (QWindow* window = hwnd.windowHandle())
        window->setFlags(flags);
    return 1;
}

long ReleaseCapture() {
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    return 1;
}

long SendMessageA(QWidget& hwnd, int wMsg, int wParam, long&) {
    if (wMsg == WM_NCLBUTTONDOWN && wParam == HTCAPTION)
        moveWithMouseSeam(hwnd);
    return 0;
}

long ShellExecuteA(QWidget* hwnd, const QString& lpOperation, const QString& lpFile, const QString& lpParameters,
                   const QString& lpDirectory, int nShowCmd) {
    return shellSeam(hwnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd);
}

} // namespace Module1

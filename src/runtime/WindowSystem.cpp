#include "runtime/WindowSystem.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <QWindow>

namespace WindowSystem {

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

void moveBySystemOrMouse(QWidget& window) {
    if (window.windowHandle() && window.windowHandle()->startSystemMove())
        return;
    FollowMouse(window).run();
}

bool openWithDefaultHandler(const QString& address) {
    // QUrl keeps the address as Unicode; the handler receives it percent-encoded, never through a shell.
    return QDesktopServices::openUrl(QUrl(address));
}

} // namespace

Seam<void(QWidget&)> startMoveSeam{moveBySystemOrMouse};
Seam<bool(const QString&)> openAddressSeam{openWithDefaultHandler};

void setStaysOnTop(QWidget& window, bool above) {
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, above);
    // setWindowFlags() would hide a shown window and make it anew; changing the flags in place does not.
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle())
        handle->setFlags(flags);
}

void releaseMouse() {
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
}

void startMove(QWidget& window) {
    startMoveSeam(window);
}

bool openAddress(const QString& address) {
    return openAddressSeam(address);
}

} // namespace WindowSystem

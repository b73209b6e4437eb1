#include "runtime/Form.h"

#include "runtime/Twips.h"

#include <QCloseEvent>
#include <QEvent>
#include <QPainter>
#include <QWindow>

namespace {

// 9-point text at 96 dots per inch; fontconfig falls back to an installed CJK face for "宋体".
QFont designFont() {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    return font;
}

Qt::WindowFlags flagsFor(Form::TaskBar taskBar) {
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
    if (taskBar == Form::TaskBar::NoButton)
        flags |= Qt::Tool;
    return flags;
}

} // namespace

Form::Form(QAnyStringView name, int clientWidthTwips, int clientHeightTwips, TaskBar taskBar)
    : QWidget(nullptr, flagsFor(taskBar)), client_(new QWidget(this)) {
    setObjectName(name);
    // Qt shows tooltips only in the active window; the quick-select buttons are known only by their tooltips, and
    // a click on a side panel takes the activation from the main window.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    const QSize clientSize(toPixels(clientWidthTwips), toPixels(clientHeightTwips));
    client_->setGeometry(QRect(QPoint(1, 1), clientSize));
    setFixedSize(clientSize + QSize(2, 2));
    setFont(designFont());
    setAutoFillBackground(true);
    setBackColor(DesignBackColor);
}

int Form::Left() const {
    return toTwips(x());
}

int Form::Top() const {
    return toTwips(y());
}

int Form::Width() const {
    return toTwips(width());
}

int Form::Height() const {
    return toTwips(height());
}

void Form::setLeft(int twips) {
    move(toPixels(twips), y());
}

void Form::setTop(int twips) {
    move(x(), toPixels(twips));
}

void Form::setClientHeight(int twips) {
    const QSize clientSize(client_->width(), toPixels(twips));
    client_->resize(clientSize);
    setFixedSize(clientSize + QSize(2, 2));
}

void Form::setBackColor(OleColor colour) {
    QPalette p = palette();
    p.setColor(QPalette::Window, toQColor(colour));
    setPalette(p);
    backColor_ = colour;
}

// A window that is shown already comes to the front.
void Form::Show() {
    if (isVisible())
        raise();
    show();
}

// A tool window would have no owner but a hidden window of Qt's, and kwin hides the tool windows of a program
// that is not active; a dialog that belongs to a window it keeps on the screen, and mutter keeps it off the task
// bar. The flags change in place, as staying on top does, so a shown window never flickers.
void Form::setOwner(Form& owner) {
    const Qt::WindowFlags flags = (windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog;
    overrideWindowFlags(flags);
    winId();
    owner.winId();
    windowHandle()->setFlags(flags);
    windowHandle()->setTransientParent(owner.windowHandle());
}

void Form::activateWithFocus() {
    activateWindow();
    if (!focusWidget())
        focusNextPrevChild(true);
}

void Form::Minimize() {
    setWindowState((windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
}

void Form::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Form::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Form::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownBefore_) {
        shownBefore_ = true;
        Form_Resize();
    }
}

void Form::closeEvent(QCloseEvent* event) {
    if (!onCloseRequest) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    onCloseRequest(*this);
}

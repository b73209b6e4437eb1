#include "platform/Controls.h"

#include "platform/Form.h"
#include "platform/Twips.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>

namespace {

int buttonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return vbLeftButton;
    case Qt::RightButton:
        return vbRightButton;
    case Qt::MiddleButton:
        return vbMiddleButton;
    default:
        return 0;
    }
}

const QColor borderColour(0x40, 0x40, 0x40);

} // namespace

ButtonControl::ButtonControl(Form& form, int left, int top, int width, int height) : QLabel(form.client()) {
    setGeometry(toPixels(left, top, width, height));
}

void ButtonControl::setBorderStyle(int style) {
    borderStyle_ = style;
    update();
}

void ButtonControl::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (borderStyle_ == 1) {
        QPainter painter(this);
        painter.setPen(borderColour);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ButtonControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (onMouseDown)
        onMouseDown(buttonCode(event->button()));
}

void ButtonControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const bool click = event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (onMouseUp)
        onMouseUp(buttonCode(event->button()));
    if (click && onClick)
        onClick();
}

Label::Label(Form& form, int left, int top, int width, int height, const QString& caption, Size size)
    : ButtonControl(form, left, top, width, height), size_(size) {
    setCaption(caption);
}

void Label::setCaption(const QString& caption) {
    setText(caption);
    if (size_ == Size::AutoSize)
        resize(sizeHint());
}

void Label::setForeColor(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
}

Image::Image(Form& form, int left, int top, int width, int height, const QString& picture)
    : ButtonControl(form, left, top, width, height) {
    showPicture(picture);
}

void Image::showPicture(const QString& picture) {
    // Drawn at the button's own size straight from the vector picture, so small buttons stay crisp.
    setPixmap(QIcon(picture).pixmap(size()));
    setScaledContents(true);
}

ListBox::ListBox(Form& form, int left, int top, int width, int height) : QListWidget(form.client()) {
    setGeometry(toPixels(left, top, width, height));
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && userAction_ && onClick)
            onClick();
    });
}

QString ListBox::Text() const {
    return currentItem() ? currentItem()->text() : QString();
}

QString ListBox::List(int index) const {
    return item(index) ? item(index)->text() : QString();
}

void ListBox::mousePressEvent(QMouseEvent* event) {
    // A click on the line already selected changes no selection, yet it is a click all the same.
    const int row = indexAt(event->position().toPoint()).row();
    const bool again = row >= 0 && row == currentRow();
    userAction_ = true;
    QListWidget::mousePressEvent(event);
    userAction_ = false;
    if (again && event->button() == Qt::LeftButton && onClick)
        onClick();
}

void ListBox::keyPressEvent(QKeyEvent* event) {
    userAction_ = true;
    QListWidget::keyPressEvent(event);
    userAction_ = false;
}

ComboBox::ComboBox(Form& form, int left, int top, int width, int height, const QString& text, const QStringList& items)
    : QComboBox(form.client()) {
    setGeometry(toPixels(left, top, width, height));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    addItems(items);
    setEditText(text);
    connect(this, &QComboBox::activated, this, [this] {
        if (onClick)
            onClick();
    });
}

TextBox::TextBox(Form& form, int left, int top, int width, int height) : QLineEdit(form.client()) {
    setGeometry(toPixels(left, top, width, height));
}

OptionButton::OptionButton(Form& form, int left, int top, int width, int height, const QString& caption,
                           const QString& tip)
    : QRadioButton(caption, form.client()) {
    setGeometry(toPixels(left, top, width, height));
    setToolTip(tip);
}

Line::Line(Form& form, int x1, int y1, int x2, int y2) : QWidget(form.client()) {
    const QPoint from(toPixels(x1), toPixels(y1));
    const QPoint to(toPixels(x2), toPixels(y2));
    setGeometry(QRect(from, to).normalized().adjusted(0, 0, 1, 1));
    line_ = QLine(from - pos(), to - pos());
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Line::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(borderColour);
    painter.drawLine(line_);
}

Shape::Shape(Form& form, int left, int top, int width, int height) : QWidget(form.client()) {
    setGeometry(toPixels(left, top, width, height));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(borderColour);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void withPressEffect(ButtonControl& control, std::function<void()> action) {
    control.onMouseDown = [&control](int) { control.setBorderStyle(1); };
    control.onMouseUp = [&control, action = std::move(action)](int) {
        control.setBorderStyle(0);
        action();
    };
}

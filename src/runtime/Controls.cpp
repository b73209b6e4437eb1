#include "runtime/Controls.h"

#include "runtime/Form.h"
#include "runtime/Twips.h"

#include <QAccessibleWidget>
#include <QCompleter>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QShortcut>

using namespace Qt::StringLiterals;

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

// Names the control after its design and puts it at its place in twips.
void design(QWidget& control, QAnyStringView name, int left, int top, int width, int height) {
    control.setObjectName(name);
    control.setGeometry(toPixels(left, top, width, height));
}

// What a screen reader is told of a label or picture button; see ButtonControl.
class ButtonAccessible : public QAccessibleWidget {
public:
    explicit ButtonAccessible(ButtonControl& control) : QAccessibleWidget(&control) {}

    QAccessible::Role role() const override {
        if (control().isLink())
            return QAccessible::Link;
        return control().acts() ? QAccessible::Button : QAccessible::StaticText;
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return name();
        case QAccessible::Description:
            return description();
        case QAccessible::Accelerator:
            return control().shortcut().toString(QKeySequence::NativeText);
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = control().isLink();
        return state;
    }

    QStringList actionNames() const override { return control().acts() ? QStringList{pressAction()} : QStringList{}; }

    void doAction(const QString& action) override {
        if (action == pressAction() && control().acts())
            control().click();
    }

    QStringList keyBindingsForAction(const QString& action) const override {
        if (action != pressAction() || control().shortcut().isEmpty())
            return {};
        return {control().shortcut().toString(QKeySequence::NativeText)};
    }

private:
    ButtonControl& control() const { return *static_cast<ButtonControl*>(widget()); }

    QString name() const {
        if (!control().accessibleName().isEmpty())
            return control().accessibleName();
        if (control().nameNow)
            return control().nameNow();
        return control().text().isEmpty() ? control().toolTip() : control().text();
    }

    QString description() const {
        QStringList parts;
        if (!control().accessibleDescription().isEmpty())
            parts.append(control().accessibleDescription());
        else if (control().toolTip() != name())
            parts.append(control().toolTip());
        if (!control().shortcut().isEmpty())
            parts.append(u"快捷键 "_s + control().shortcut().toString(QKeySequence::NativeText));
        parts.removeAll(QString());
        return parts.join(u"，"_s);
    }
};

QAccessibleInterface* buttonAccessible(const QString&, QObject* object) {
    if (auto* control = qobject_cast<ButtonControl*>(object))
        return new ButtonAccessible(*control);
    return nullptr;
}

} // namespace

ButtonControl::ButtonControl(Form& form, QAnyStringView name, int left, int top, int width, int height)
    : QLabel(form.client()) {
    [[maybe_unused]] static const bool accessible = (QAccessible::installFactory(buttonAccessible), true);
    design(*this, name, left, top, width, height);
}

void ButtonControl::setToolTipText(const QString& text) {
    setToolTip(text);
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void ButtonControl::setShortcut(const QKeySequence& key, std::function<void()> action) {
    key_ = key;
    keyAction_ = action;
    auto* shortcut = new QShortcut(key, window());
    shortcut->setAutoRepeat(false);
    connect(shortcut, &QShortcut::activated, this, [this, action = std::move(action)] {
        if (action)
            action();
        else
            click();
    });
}

void ButtonControl::setBorderStyle(int style) {
    borderStyle_ = style;
    update();
}

// Qt gives a label that takes the keyboard a text editor of its own as it polishes it, the most of what a window of
// such buttons costs to show; one line of text shown needs it only once the keyboard is in the control.
bool ButtonControl::event(QEvent* event) {
    if (event->type() != QEvent::Polish || focusPolicy() == Qt::NoFocus)
        return QLabel::event(event);
    const Qt::FocusPolicy policy = focusPolicy();
    setFocusPolicy(Qt::NoFocus);
    const bool handled = QLabel::event(event);
    setFocusPolicy(policy);
    return handled;
}

void ButtonControl::takeTabStop() {
    setFocusPolicy(Qt::TabFocus);
}

void ButtonControl::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (borderStyle_ == 0 && !tabbedTo_)
        return;
    QPainter painter(this);
    if (borderStyle_ == 1) {
        painter.setPen(borderColour);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    // Inside a border, which says something of its own (the red cross framed while the windows stay on top).
    if (tabbedTo_) {
        const int inset = borderStyle_ == 1 ? 2 : 0;
        painter.setPen(QPen(borderColour, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(inset, inset, -1 - inset, -1 - inset));
    }
}

void ButtonControl::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (!tabbedTo_ || (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter))
        return QLabel::keyPressEvent(event);
    event->accept();
    if (keyAction_)
        keyAction_();
    else
        click();
}

void ButtonControl::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    tabbedTo_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update();
}

// A window being activated gives the keyboard to its first stop without a frame: the first Tab then frames that
// stop, where moving on would pass it by.
bool ButtonControl::focusNextPrevChild(bool next) {
    if (tabbedTo_)
        return QLabel::focusNextPrevChild(next);
    tabbedTo_ = true;
    update();
    return true;
}

void ButtonControl::focusOutEvent(QFocusEvent* event) {
    QLabel::focusOutEvent(event);
    tabbedTo_ = false;
    update();
}

void ButtonControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
    onMouseDown(*this, buttonCode(event->button()));
}

void ButtonControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const bool click = event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    onMouseUp(*this, buttonCode(event->button()));
    if (click)
        onClick(*this);
}

void ButtonControl::click() {
    onMouseDown(*this, vbLeftButton);
    onMouseUp(*this, vbLeftButton);
    onClick(*this);
}

Label::Label(Form& form, QAnyStringView name, int left, int top, int width, int height, const QString& caption,
             Size size)
    : ButtonControl(form, name, left, top, width, height), size_(size) {
    setCaption(caption);
}

void Label::setCaption(const QString& caption) {
    setText(caption);
    autoSize();
}

void Label::showEvent(QShowEvent* event) {
    ButtonControl::showEvent(event);
    autoSize();
}

// Measuring a text loads the glyphs of its font, which a window that stays hidden never needs: an auto-sized label
// takes its size when it is shown, and at every caption while it is.
void Label::autoSize() {
    if (size_ == Size::AutoSize && isVisible())
        resize(sizeHint());
}

void Label::setForeColor(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
}

// Pictures come drawn at the size of their buttons for the screen's density; stretching is for any other size.
Image::Image(Form& form, QAnyStringView name, int left, int top, int width, int height, const QPixmap& picture)
    : ButtonControl(form, name, left, top, width, height) {
    setPixmap(picture);
    setScaledContents(true);
}

QVariant ListLines::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count_)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return source_ ? source_(index.row()) : lines_[index.row()];
    return lineData ? lineData(index.row(), role) : QVariant();
}

QModelIndexList ListLines::match(const QModelIndex& start, int role, const QVariant& value, int hits,
                                 Qt::MatchFlags flags) const {
    constexpr int searched = 1000;
    if (!source_ || count_ <= searched)
        return QAbstractListModel::match(start, role, value, hits, flags);
    const QString text = value.toString();
    for (int row = start.row(); row < std::min(count_, start.row() + searched); ++row) {
        if (data(index(row), role).toString().startsWith(text, Qt::CaseInsensitive))
            return {index(row)};
    }
    return {};
}

void ListLines::setLines(const QStringList& lines) {
    beginResetModel();
    lines_ = lines;
    source_ = nullptr;
    count_ = static_cast<int>(lines.size());
    endResetModel();
}

void ListLines::setSource(int count, Source source) {
    beginResetModel();
    lines_.clear();
    source_ = std::move(source);
    count_ = count;
    endResetModel();
}

void ListLines::grow(int count) {
    if (count <= count_)
        return;
    beginInsertRows({}, count_, count - 1);
    count_ = count;
    endInsertRows();
}

ListBox::ListBox(Form& form, QAnyStringView name, int left, int top, int width, int height) : QListView(form.client()) {
    design(*this, name, left, top, width, height);
    setModel(&lines_);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        if (current.isValid() && userAction_)
            onClick(*this);
    });
}

QString ListBox::List(int index) const {
    return lines_.index(index).data().toString();
}

QStringList ListBox::lines() const {
    QStringList all;
    for (int index = 0; index < ListCount(); ++index)
        all.append(List(index));
    return all;
}

void ListBox::mousePressEvent(QMouseEvent* event) {
    // A click on the line already selected changes no selection, yet it is a click all the same.
    const int row = indexAt(event->position().toPoint()).row();
    const bool again = row >= 0 && row == ListIndex();
    userAction_ = true;
    QListView::mousePressEvent(event);
    userAction_ = false;
    if (again && event->button() == Qt::LeftButton)
        onClick(*this);
}

void ListBox::keyPressEvent(QKeyEvent* event) {
    // Enter plays the selected line as a click on it does; the moving keys select lines, and so play them.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && ListIndex() >= 0) {
        onClick(*this);
        return;
    }
    userAction_ = true;
    QListView::keyPressEvent(event);
    userAction_ = false;
}

// Qt takes every key to the first line while none is selected; End goes to the last.
QModelIndex ListBox::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action == MoveEnd && !currentIndex().isValid() && ListCount() > 0)
        return lines_.index(ListCount() - 1);
    return QListView::moveCursor(action, modifiers);
}

ComboBox::ComboBox(Form& form, QAnyStringView name, int left, int top, int width, int height, const QString& text,
                   const QStringList& items)
    : QComboBox(form.client()) {
    design(*this, name, left, top, width, height);
    // Completing typed text would choose a line for the user. Qt gives an editable box's text line a completer of its
    // own unless the line has one, and building it was most of a box's cost: the line comes with a completer that
    // all boxes share, taken away at once.
    static auto* const none = new QCompleter(QCoreApplication::instance());
    auto* line = new QLineEdit(this);
    line->setPalette(palette()); // as Qt's own text line
    line->setCompleter(none);
    setLineEdit(line);
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    addItems(items);
    view()->setTextElideMode(Qt::ElideMiddle);
    setEditText(text);
    // Qt reports as "activated" both a line chosen from the open list and what happens on the box itself: Enter on
    // a typed text that equals a line, the arrow keys, the wheel. Only the first is a choice.
    connect(this, &QComboBox::activated, this, [this] {
        if (!onTheBox_)
            onClick(*this);
    });
}

// Qt widens the open list to its longest line; however long the lines, it stays a list beside its box. A line
// shortened to fit gets its whole text as its tooltip, when the list opens: a box that is never opened measures
// nothing.
void ComboBox::showPopup() {
    QComboBox::showPopup();
    QWidget& popup = *view()->window();
    const int widest = std::max(width(), fontMetrics().horizontalAdvance(u'国') * widestLine);
    if (popup.width() > widest)
        popup.resize(widest, popup.height());
    const int room = view()->viewport()->width();
    const QFontMetrics metrics = view()->fontMetrics();
    for (int item = 0; item < count(); ++item) {
        if (metrics.horizontalAdvance(itemText(item)) > room && !itemData(item, Qt::ToolTipRole).isValid())
            setItemData(item, itemText(item), Qt::ToolTipRole);
    }
}

void ComboBox::keyPressEvent(QKeyEvent* event) {
    const QScopedValueRollback onTheBox(onTheBox_, true);
    QComboBox::keyPressEvent(event);
}

void ComboBox::wheelEvent(QWheelEvent* event) {
    const QScopedValueRollback onTheBox(onTheBox_, true);
    QComboBox::wheelEvent(event);
}

TextBox::TextBox(Form& form, QAnyStringView name, int left, int top, int width, int height) : QLineEdit(form.client()) {
    design(*this, name, left, top, width, height);
}

void TextBox::setBackColor(OleColor colour) {
    QPalette p = palette();
    p.setColor(QPalette::Base, toQColor(colour));
    setPalette(p);
    backColor_ = colour;
}

OptionButton::OptionButton(Form& form, QAnyStringView name, int left, int top, int width, int height,
                           const QString& caption, const QString& tip)
    : QRadioButton(caption, form.client()) {
    design(*this, name, left, top, width, height);
    setToolTip(tip);
}

Line::Line(Form& form, QAnyStringView name, int x1, int y1, int x2, int y2) : QWidget(form.client()) {
    setObjectName(name);
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

Shape::Shape(Form& form, QAnyStringView name, int left, int top, int width, int height) : QWidget(form.client()) {
    design(*this, name, left, top, width, height);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(borderColour);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void withPressEffect(ButtonControl& control, const QString& doing, std::function<void()> action) {
    control.onMouseDown = {doing, [&control](int) { control.setBorderStyle(1); }};
    control.onMouseUp = {doing, [&control, action = std::move(action)](int) {
                             control.setBorderStyle(0);
                             action();
                         }};
}

void setTabOrder(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <functional>

class Form;

// Mouse buttons as the handlers receive them.
enum MouseButton { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };

// The part shared by labels and picture buttons: they serve as buttons, act on the mouse release, and show a
// single fixed border (border style 1) to look pressed or to mark an open state. The release always reaches the
// control that received the press, wherever the pointer is by then.
class ButtonControl : public QLabel {
    Q_OBJECT

public:
    int BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString& text) { setToolTip(text); }

    std::function<void(int button)> onMouseDown;
    std::function<void(int button)> onMouseUp;
    // A press and a release of the left button both on the control.
    std::function<void()> onClick;

protected:
    ButtonControl(Form& form, int left, int top, int width, int height);
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int borderStyle_ = 0;
};

// Text on the window's colour. An auto-sized label takes the size of its text from its top-left corner.
class Label : public ButtonControl {
    Q_OBJECT

public:
    enum class Size { Designed, AutoSize };

    Label(Form& form, int left, int top, int width, int height, const QString& caption, Size size = Size::AutoSize);
    QString Caption() const { return text(); }
    void setCaption(const QString& caption);
    void setForeColor(const QColor& colour);

private:
    Size size_;
};

// A picture stretched to the button's size.
class Image : public ButtonControl {
    Q_OBJECT

public:
    Image(Form& form, int left, int top, int width, int height, const QString& picture);

private:
    void showPicture(const QString& picture);
};

// Plain text lines in the order added, one selectable. Click runs whenever the user makes a line the selected
// line, with the mouse or the arrow keys, and when the user clicks the selected line again; never when the list
// merely gets the focus.
class ListBox : public QListWidget {
    Q_OBJECT

public:
    ListBox(Form& form, int left, int top, int width, int height);
    void AddItem(const QString& line) { addItem(line); }
    void Clear() { clear(); }
    int ListCount() const { return count(); }
    int ListIndex() const { return currentRow(); }
    void setListIndex(int index) { setCurrentRow(index); }
    QString Text() const;
    QString List(int index) const;

    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool userAction_ = false;
};

// An editable drop-down box: a text of its own and a list to choose from. Click runs when a line is chosen.
class ComboBox : public QComboBox {
    Q_OBJECT

public:
    ComboBox(Form& form, int left, int top, int width, int height, const QString& text, const QStringList& items);
    QString Text() const { return currentText(); }
    void setText(const QString& text) { setEditText(text); }

    std::function<void()> onClick;
};

class TextBox : public QLineEdit {
    Q_OBJECT

public:
    TextBox(Form& form, int left, int top, int width, int height);
    QString Text() const { return text(); }
    void setText(const QString& value) { QLineEdit::setText(value); }
};

class OptionButton : public QRadioButton {
    Q_OBJECT

public:
    OptionButton(Form& form, int left, int top, int width, int height, const QString& caption, const QString& tip);
    bool Value() const { return isChecked(); }
    void setValue(bool on) { setChecked(on); }
    QString ToolTipText() const { return toolTip(); }
};

// A separator line from (x1, y1) to (x2, y2).
class Line : public QWidget {
    Q_OBJECT

public:
    Line(Form& form, int x1, int y1, int x2, int y2);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLine line_;
};

// A decorative rectangle frame; it draws only its outline and lets the window's colour show through.
class Shape : public QWidget {
    Q_OBJECT

public:
    Shape(Form& form, int left, int top, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The press effect: the control shows its border while a mouse button is down on it, and the release takes the
// border away before `action` runs. Any button does it.
void withPressEffect(ButtonControl& control, std::function<void()> action);

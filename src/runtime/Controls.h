#pragma once

#include "runtime/Guard.h"
#include "runtime/OleColor.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <functional>
#include <initializer_list>

class Form;

// Every control is made with its window and its design name, which it keeps as its objectName; positions and sizes
// are in twips from the top-left corner of the window's client area. Handlers run at the event edge (Guard.h).

// Mouse buttons as the handlers receive them.
enum MouseButton { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };

// The part shared by labels and picture buttons: they serve as buttons, act on the mouse release, and show a
// single fixed border (border style 1) to look pressed or to mark an open state. The release always reaches the
// control that received the press, wherever the pointer is by then.
//
// A screen reader hears a control that acts on a release or a click as a push button (as a link once setLink() is
// called), one that only drags or only shows text as text. Its name is its accessible name where one is set, else
// what nameNow() gives, else its caption, else its tooltip; its description is its accessible description, or its
// tooltip where that is not already the name, followed by its key. Pressing it from a screen reader clicks it.
class ButtonControl : public QLabel {
    Q_OBJECT

public:
    int BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);
    QString ToolTipText() const { return toolTip(); }
    // A tooltip that serves as the name tells a screen reader that the name changed.
    void setToolTipText(const QString& text);

    Handler<int /*button*/> onMouseDown;
    Handler<int /*button*/> onMouseUp;
    // A press and a release of the left button both on the control.
    Handler<> onClick;

    // What a click of the left button on the control does, for a key that stands for the control.
    void click();

    // A key that stands for the control while its window is active: it does what a click does, or `action` instead.
    // Held down, it acts once. The description a screen reader reads names it.
    void setShortcut(const QKeySequence& key, std::function<void()> action = {});
    QKeySequence shortcut() const { return key_; }

    // A stop of the Tab key, for whoever works the window from the keyboard or with a screen reader. Only once Tab
    // has brought the keyboard to it is it framed with a dotted line and does Space or Enter what its key does (else
    // what a click does): a window that merely gives it the keyboard when activated looks and acts as before.
    void takeTabStop();

    // A control that opens a web page.
    void setLink() { link_ = true; }
    bool isLink() const { return link_; }
    // Whether the control acts on the mouse at all, beyond dragging: only then is it a button.
    bool acts() const { return bool(onMouseUp) || bool(onClick); }

    // The name, asked afresh whenever a screen reader reads it, of a control whose purpose changes with data it is
    // never told about (the station a quick-select button plays now).
    std::function<QString()> nameNow;

protected:
    ButtonControl(Form& form, QAnyStringView name, int left, int top, int width, int height);
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    int borderStyle_ = 0;
    bool tabbedTo_ = false;
    QKeySequence key_;
    std::function<void()> keyAction_;
    bool link_ = false;
};

// Text on the window's colour. An auto-sized label takes the size of its text from its top-left corner.
class Label : public ButtonControl {
    Q_OBJECT

public:
    enum class Size { Designed, AutoSize };

    Label(Form& form, QAnyStringView name, int left, int top, int width, int height, const QString& caption,
          Size size = Size::AutoSize);
    QString Caption() const { return text(); }
    void setCaption(const QString& caption);
    void setForeColor(const QColor& colour);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void autoSize();
    Size size_;
};

// A picture stretched to the button's size.
class Image : public ButtonControl {
    Q_OBJECT

public:
    Image(Form& form, QAnyStringView name, int left, int top, int width, int height, const QPixmap& picture);
};

// The lines of a list box: lines given whole, or a number of lines whose texts are asked for only when they are
// shown, so that a list of a million lines holds the few on the screen. What else a line shows (its tooltip, its
// colour) comes from the list box's lineData, asked likewise.
class ListLines : public QAbstractListModel {
    Q_OBJECT

public:
    // The text of the line at an index, asked when the line is shown or read.
    using Source = std::function<QString(int index)>;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : count_; }
    // Asked for every line whenever the list lays its lines out: a million times for a million lines.
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = {}) const override {
        const bool line = row >= 0 && row < count_ && column == 0 && !parent.isValid();
        return line ? createIndex(row, 0) : QModelIndex();
    }
    QVariant data(const QModelIndex& index, int role) const override;
    // A typed letter looks for the next line that starts with it; among lines read as they are shown, only in the
    // next thousand, which keeps a letter no line starts with from reading a million.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits,
                          Qt::MatchFlags flags) const override;

    void setLines(const QStringList& lines);
    void setSource(int count, Source source);
    // More lines at the end, of the same source: the selection stays.
    void grow(int count);

    std::function<QVariant(int index, int role)> lineData;

private:
    QStringList lines_;
    Source source_;
    int count_ = 0;
};

// Plain text lines in the order added, one selectable. Click runs whenever the user makes a line the selected
// line, with the mouse or the keys that move through a list (arrows, Home, End, Page Up, Page Down), and when the
// user clicks the selected line again or presses Enter on it; never when the list merely gets the focus. Every
// line is one line of text high, so the list measures one line, not each of them, and a line's text is read only
// when it is shown: a million lines list at once.
class ListBox : public QListView {
    Q_OBJECT

public:
    ListBox(Form& form, QAnyStringView name, int left, int top, int width, int height);
    // Replaces every line with these, at once: a whole result goes into the list in one call.
    void setLines(const QStringList& lines) { lines_.setLines(lines); }
    // Replaces every line with `count` lines whose texts `source` gives as they come into view.
    void showLines(int count, ListLines::Source source) { lines_.setSource(count, std::move(source)); }
    // Lines the source has found since, added at the end.
    void growLines(int count) { lines_.grow(count); }
    void Clear() { setLines({}); }
    int ListCount() const { return lines_.rowCount(); }
    int ListIndex() const { return currentIndex().row(); }
    void setListIndex(int index) { setCurrentIndex(lines_.index(index)); }
    QString Text() const { return List(ListIndex()); }
    QString List(int index) const;
    // Every line, top to bottom.
    QStringList lines() const;
    void SetFocus() { setFocus(); }

    Handler<> onClick;
    // What a line shows beside its text, by item role: a tooltip (Qt::ToolTipRole), a text colour
    // (Qt::ForegroundRole). Asked only for the lines shown, and for a tooltip when the pointer rests on a line;
    // an empty QVariant for nothing special.
    void setLineData(std::function<QVariant(int index, int role)> provider) { lines_.lineData = std::move(provider); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    ListLines lines_;
    bool userAction_ = false;
};

// An editable drop-down box: a text of its own and a list to choose from. Click runs when the user chooses a line
// of the open list, with the mouse or the keys; typing is no choice, not even Enter on a text that equals a line,
// nor are the arrow keys or the wheel on the closed box. The open list is at most widestLine characters wide: a
// longer line is shortened in the middle and shows whole in its tooltip.
class ComboBox : public QComboBox {
    Q_OBJECT

public:
    ComboBox(Form& form, QAnyStringView name, int left, int top, int width, int height, const QString& text,
             const QStringList& items);
    QString Text() const { return currentText(); }
    void setText(const QString& text) { setEditText(text); }
    void SetFocus() { setFocus(); }

    Handler<> onClick;

    static constexpr int widestLine = 24;
    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool onTheBox_ = false;
};

class TextBox : public QLineEdit {
    Q_OBJECT

public:
    TextBox(Form& form, QAnyStringView name, int left, int top, int width, int height);
    QString Text() const { return text(); }
    // The box shows the start of a text too long for it, the scheme and host of a web address.
    void setText(const QString& value) {
        QLineEdit::setText(value);
        home(false);
    }
    OleColor BackColor() const { return backColor_; }
    // Throws ColourError for a value that is no colour, leaving the box as it was.
    void setBackColor(OleColor colour);
    void SetFocus() { setFocus(); }

private:
    OleColor backColor_ = 0xFFFFFF;
};

class OptionButton : public QRadioButton {
    Q_OBJECT

public:
    OptionButton(Form& form, QAnyStringView name, int left, int top, int width, int height, const QString& caption,
                 const QString& tip);
    bool Value() const { return isChecked(); }
    void setValue(bool on) { setChecked(on); }
    QString ToolTipText() const { return toolTip(); }
    void SetFocus() { setFocus(); }
};

// A separator line from (x1, y1) to (x2, y2).
class Line : public QWidget {
    Q_OBJECT

public:
    Line(Form& form, QAnyStringView name, int x1, int y1, int x2, int y2);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLine line_;
};

// A decorative rectangle frame; it draws only its outline and lets the window's colour show through.
class Shape : public QWidget {
    Q_OBJECT

public:
    Shape(Form& form, QAnyStringView name, int left, int top, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The press effect: the control shows its border while a mouse button is down on it, and the release takes the
// border away before `action` runs. Any button does it; `doing` names the action as Handler does.
void withPressEffect(ButtonControl& control, const QString& doing, std::function<void()> action);

// The Tab key moves through `controls` in this order, the order the window design gives its controls that take the
// focus.
void setTabOrder(std::initializer_list<QWidget*> controls);

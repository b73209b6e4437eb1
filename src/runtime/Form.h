#pragma once

#include "runtime/Guard.h"
#include "runtime/OleColor.h"

#include <QWidget>

// The colour every window is designed with, the default theme: a pale blue.
inline constexpr OleColor DesignBackColor = 0xFFC0C0;

// A window without a title bar, with a one-pixel border of its own round a client area of the designed size.
// Left, Top and Width are the outer bounds in twips, in screen coordinates, as the windows dock by them.
// Its objectName is its design name. It shows the tooltips of its controls whether or not it is the active window.
class Form : public QWidget {
    Q_OBJECT

public:
    enum class TaskBar { OwnButton, NoButton };

    Form(QAnyStringView name, int clientWidthTwips, int clientHeightTwips, TaskBar taskBar);

    // Runs once when the window is loaded, before anyone else uses it. A load that cannot complete throws; the
    // registry records it and nobody else sees it.
    virtual void Form_Load() {}

    // The window's title text; the window shows no title bar, but the window system lists it by this text.
    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }

    // A close request from the window system (Alt+F4, the task bar). Without a handler the window is hidden.
    Handler<> onCloseRequest;

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    // A window that folds a part of itself away changes its height; its width stays as designed.
    void setClientHeight(int twips);

    OleColor BackColor() const { return backColor_; }
    // Throws ColourError for a value that is no colour, leaving the window as it was.
    void setBackColor(OleColor colour);

    void Show();
    void Minimize();

    // The window belongs to OWNER, as a browser panel to the main window: the window system minimises it with its
    // owner and keeps it above it, in its owner's band of windows that stay on top, gives it no task bar button of
    // its own, and shows it while another program is active.
    void setOwner(Form& owner);

    // The window becomes the active one with the keyboard in the control its design puts it in (the first of its
    // Tab order unless its load chose another). Said here and not left to the activation, because a window system
    // may activate a window that belongs to another without moving the keyboard into it.
    void activateWithFocus();

    // The parent of the window's controls; control positions count from its top-left corner.
    QWidget* client() const { return client_; }

protected:
    // The window was first shown, minimised or restored.
    virtual void Form_Resize() {}

    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* client_;
    OleColor backColor_ = DesignBackColor;
    bool shownBefore_ = false;
};

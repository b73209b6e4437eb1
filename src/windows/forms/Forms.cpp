#include "windows/forms/Forms.h"

#include "runtime/Module1.h"

#include <QScreen>
#include <algorithm>

using namespace Qt::StringLiterals;

void dockLeft(Form& panel, const Form& main) {
    panel.setTop(main.Top());
    panel.setLeft(main.Left() - panel.Width());
}

void dockRight(Form& panel, const Form& main) {
    panel.setLeft(main.Left() + main.Width());
    panel.setTop(main.Top());
}

void dockBrowserPanels(Forms& forms) {
    const Form& main = forms.form(FormName::Form1);
    dockRight(forms.form(FormName::Form2), main);
    dockLeft(forms.form(FormName::Form3), main);
}

void dragByHandle(Form& window, int button, Forms& forms) {
    using namespace Module1;
    if (button == vbLeftButton) {
        ReleaseCapture();
        long none = 0;
        SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, none);
    }
    dockBrowserPanels(forms);
}

void paintTheme(Forms& forms, const ThemeColours& colours) {
    for (size_t window = 0; window < ThemedWindows.size(); ++window) {
        if (colours[window])
            forms.paint(ThemedWindows[window], *colours[window]);
    }
    if (colours[0] && forms.isLoaded(FormName::net))
        forms.paint(FormName::net, *colours[0]);
}

// Moves a window back onto its screen as far as it goes, never off it.
void keepOnScreen(Form& window) {
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    window.move(std::clamp(window.x(), room.left(), std::max(room.left(), room.right() - window.width())),
                std::clamp(window.y(), room.top(), std::max(room.top(), room.bottom() - window.height())));
}

// The window system's flags and ownership of the window are the main window's side windows' own; only the place is
// chosen here, against the main window's right edge, at its first opening, beside the main window as far as the
// screen allows.
void openNetRadio(Forms& forms) {
    const bool placed = forms.isLoaded(FormName::net);
    Form& window = forms.form(FormName::net);
    if (!placed) {
        dockRight(window, forms.form(FormName::Form1));
        keepOnScreen(window);
    }
    window.Show();
    window.activateWithFocus();
}

void designCreditLine(Label& label) {
    label.setCaption(u"Vimaro 开发组"_s);
    label.setAlignment(Qt::AlignCenter);
    label.setForeColor(QColor(0x00, 0x00, 0x80));
}

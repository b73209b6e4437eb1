#include "windows/forms/Forms.h"

#include "runtime/Module1.h"

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
            forms.form(ThemedWindows[window]).setBackColor(*colours[window]);
    }
}

void designCreditLine(Label& label) {
    label.setCaption(u"Vimaro 开发组"_s);
    label.setAlignment(Qt::AlignCenter);
    label.setForeColor(QColor(0x00, 0x00, 0x80));
}

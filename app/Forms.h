#pragma once

#include "platform/Form.h"

// The six windows of the program, by their design names.
enum class FormName { Form1, Form2, Form3, add, setup, yz };

// How a window reaches another: the first use of a window loads it and runs its load routine, as start-up
// relies on. A window that has been unloaded is loaded afresh at its next use.
class Forms {
public:
    virtual Form& form(FormName name) = 0;
    virtual bool isLoaded(FormName name) const = 0;
    virtual void unload(FormName name) = 0;

    template <typename Window> Window& get(FormName name) { return dynamic_cast<Window&>(form(name)); }

protected:
    ~Forms() = default;
};

// The two docking positions beside the main window, from the outer bounds in twips at this moment:
// a panel docked left touches the main window's left edge with its right edge, one docked right its right edge.
inline void dockLeft(Form& panel, const Form& main) {
    panel.setTop(main.Top());
    panel.setLeft(main.Left() - panel.Width());
}

inline void dockRight(Form& panel, const Form& main) {
    panel.setLeft(main.Left() + main.Width());
    panel.setTop(main.Top());
}

// After the main window has been dragged the radio panel goes to its right, the TV panel to its left,
// shown or hidden.
inline void dockBrowserPanels(Forms& forms) {
    const Form& main = forms.form(FormName::Form1);
    dockRight(forms.form(FormName::Form2), main);
    dockLeft(forms.form(FormName::Form3), main);
}

#include "presets/yz.h"

yz::yz(Forms& forms) : Form("yz", 2175, 3390, TaskBar::NoButton), forms_(forms) {}

// It is created against the main window's right edge; the main window places it again each time it opens it.
void yz::Form_Load() {
    dockRight(*this, forms_.form(FormName::Form1));
}

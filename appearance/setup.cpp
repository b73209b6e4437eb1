#include "appearance/setup.h"

setup::setup(Forms& forms) : Form("setup", 2175, 3390, TaskBar::NoButton), forms_(forms) {}

void setup::Form_Load() {
    dockRight(*this, forms_.form(FormName::Form1));
}

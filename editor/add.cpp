#include "editor/add.h"

add::add(Forms&) : Form(5175, 4305, TaskBar::NoButton) {}

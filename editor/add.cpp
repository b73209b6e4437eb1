#include "editor/add.h"

add::add(Forms&) : Form("add", 5175, 4305, TaskBar::NoButton) {}

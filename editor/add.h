#pragma once

#include "forms/Forms.h"
#include "platform/Form.h"

// The channel editor, in which stations are added, found by part of their name and changed.
// The main window's "频道设置" shows it; the window system decides where it first appears.
class add : public Form {
    Q_OBJECT

public:
    explicit add(Forms& forms);
};

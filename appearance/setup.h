#pragma once

#include "forms/Forms.h"
#include "platform/Form.h"

// The appearance panel: seven colour themes for all six windows, docked on the main window's right.
class setup : public Form {
    Q_OBJECT

public:
    explicit setup(Forms& forms);
    void Form_Load() override;

private:
    Forms& forms_;
};

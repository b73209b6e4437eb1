#pragma once

#include "forms/Forms.h"
#include "platform/Form.h"

// The preset editor: which station each of the nine quick-select buttons plays.
class yz : public Form {
    Q_OBJECT

public:
    explicit yz(Forms& forms);
    void Form_Load() override;

private:
    Forms& forms_;
};

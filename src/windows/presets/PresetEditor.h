#pragma once

#include "catalogue/Catalogue.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "sqlite/Database.h"
#include "windows/forms/Forms.h"

#include <optional>

// The preset editor: which station each of the nine quick-select buttons plays. The user chooses a slot from the
// list, sees the station that holds it and saves a new name and web address into that station. It is created
// once, hidden, and only hidden afterwards, so its boxes and its slot query outlive every closing.
class yz : public Form {
    Q_OBJECT

public:
    explicit yz(Forms& forms);
    void Form_Load() override;

    Shape Shape1;
    Shape Shape3;
    Label Label4;
    Label Label5;
    Line Line2;
    Label Label6;
    ComboBox Combo1;
    Label Label7;
    TextBox Text1;
    Label Label2;
    TextBox Text2;
    Line Line1;
    Label Label1;
    Label Label3;

private:
    void Combo1_Click();
    void Label1_MouseUp();

    Forms& forms_;
    std::optional<Database> connection_;
    // The category search of the last slot chosen from the list; a save changes its first station.
    std::optional<Catalogue::StationQuery> slotQuery_;
};

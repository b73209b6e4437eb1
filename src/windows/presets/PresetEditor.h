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

    Shape Shape1;    // the window's outer frame
    Shape Shape3;    // the inner frame
    Label Label4;    // "注意："
    Label Label5;    // "软件只能设置9个预置频道。"
    Line Line2;      // rule under the notice
    Label Label6;    // "频道：" above Combo1
    ComboBox Combo1; // slot chooser "请选择.....": a slot chosen shows its station
    Label Label7;    // "名称：" above Text1
    TextBox Text1;   // name of the slot's station
    Label Label2;    // "网址：" above Text2
    TextBox Text2;   // web address of the slot's station
    Line Line1;      // rule above the save button
    Label Label1;    // "保存修改": saves Text1 and Text2 into the slot's station
    Label Label3;    // credit line "Vimaro 开发组", leading nowhere

private:
    void Combo1_Click();
    void Label1_MouseUp();

    Forms& forms_;
    std::optional<Database> connection_;
    // The category search of the last slot chosen from the list; a save changes its first station.
    std::optional<Catalogue::StationQuery> slotQuery_;
};

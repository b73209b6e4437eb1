#pragma once

#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "windows/forms/Forms.h"

#include <array>
#include <memory>

// The appearance panel: seven colour themes for all six windows, docked on the main window's right. Each option
// carries its colour as its tooltip text, the text that is stored; saving writes it to the settings file and paints
// every window with what the file then says.
class setup : public Form {
    Q_OBJECT

public:
    explicit setup(Forms& forms);

    void Form_Load() override;
    QString GetProfile(const QString& strFileName, const QString& strSection, const QString& strName);
    void setProfile(const QString& strFileName, const QString& strSection, const QString& strName,
                    const QString& strSave);

    Shape Shape1; // the window's outer frame
    Shape Shape3; // the inner frame
    // One group: at most one option is selected, and none until the user chooses one.
    std::array<std::unique_ptr<OptionButton>, 7> Option1; // the themes 翡翠绿 … 默认色, each with its colour as tooltip
    Line Line1;                                           // rule above the save button
    Label Label1; // "保存设置": stores the chosen theme and paints every window
    Label Label3; // credit line "Vimaro 开发组", leading nowhere

private:
    void Label1_MouseUp();
    const OptionButton* selectedOption() const;

    Forms& forms_;
};

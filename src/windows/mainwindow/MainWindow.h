#pragma once

#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "sqlite/Database.h"
#include "windows/forms/Forms.h"

#include <array>
#include <optional>

// The main window: a narrow strip without a title bar, covered with picture buttons. Its load routine starts the
// whole program; its buttons drag, minimise, keep on top and quit it, open the side panels and play the presets.
class Form1 : public Form {
    Q_OBJECT

public:
    explicit Form1(Forms& forms);

    void Form_Load() override;
    QString GetProfile(const QString& strFileName, const QString& strSection, const QString& strName);

    Shape Shape1;  // the window's outer frame
    Shape Shape3;  // the inner frame round the buttons
    Label Label1;  // drag handle "::::Vimaro::::": moves the window, the browser panels follow
    Image Image5;  // left arrow "打开电视选框": opens and closes the TV panel (Form3)
    Image Image7;  // red cross "是否在最前面": keeps the windows above others, framed while on
    Image Image3;  // yellow button "最小化": minimises, the browser panels with it
    Image Image6;  // blue button "退出Vimaro": quits
    Image Image1;  // right arrow "打开广播选框": opens and closes the radio panel (Form2)
    Line Line2;    // rule under the top row
    Image Image2;  // quick-select button 1: plays slot 快速选台一
    Image Image4;  // quick-select button 2: 快速选台二
    Image Image8;  // quick-select button 3: 快速选台三
    Image Image9;  // quick-select button 4: 快速选台四
    Image Image10; // quick-select button 5: 快速选台五
    Image Image11; // quick-select button 6: 快速选台六
    Image Image12; // quick-select button 7: 快速选台七
    Image Image13; // quick-select button 8: 快速选台八
    Image Image14; // quick-select button 9: 快速选台九
    Label Label6;  // "预置电台": opens and closes the preset editor (yz)
    Label Label7;  // "外观设置": opens and closes the appearance panel (setup)
    Line Line1;    // rule above the links
    Label Label2;  // link "手机短信": opens China Mobile's site
    Label Label5;  // link "频道设置": opens the channel editor (add)
    Label Label3;  // credit line "Vimaro 开发组": opens the project page

    // The nine quick-select buttons in slot order.
    std::array<Image*, 9> quickSelectButtons() {
        return {&Image2, &Image4, &Image8, &Image9, &Image10, &Image11, &Image12, &Image13, &Image14};
    }

protected:
    void Form_Resize() override;
    void moveEvent(QMoveEvent* event) override;

private:
    // A button that opens its own panel beside the main window and closes it again on the next release.
    struct PanelToggle {
        ButtonControl& control;
        FormName panel;
        void (*dock)(Form& panel, const Form& main);
        QString tipWhileOpen;
        QString tipAfterClosing;
        bool open = false;
    };

    void designForKeysAndScreenReaders();
    void connectHandlers();
    void Label1_MouseDown(int button);
    void Image3_MouseUp();
    void Image7_MouseUp();
    void Image6_MouseUp();
    void Label2_MouseUp();
    void Label3_Click();
    void Image5_MouseUp() { toggle(tvToggle_); }
    void Image1_MouseUp() { toggle(radioToggle_); }
    void Label6_MouseUp() { toggle(presetToggle_); }
    void Label7_MouseUp() { toggle(appearanceToggle_); }
    void Label5_MouseUp();
    void Label5_Key();
    void QuickSelect_MouseUp(const Image& button);
    void toggle(PanelToggle& toggle);
    void toggleFromKeyboard(PanelToggle& toggle);
    void setStayOnTop(bool on);

    Forms& forms_;
    std::optional<Database> connection_;
    PanelToggle tvToggle_;
    PanelToggle radioToggle_;
    PanelToggle presetToggle_;
    PanelToggle appearanceToggle_;
    bool onTop_ = true;
    bool exiting_ = false;
};

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

    Shape Shape1;
    Shape Shape3;
    Label Label1;
    Image Image5;
    Image Image7;
    Image Image3;
    Image Image6;
    Image Image1;
    Line Line2;
    Image Image2;
    Image Image4;
    Image Image8;
    Image Image9;
    Image Image10;
    Image Image11;
    Image Image12;
    Image Image13;
    Image Image14;
    Label Label6;
    Label Label7;
    Line Line1;
    Label Label2;
    Label Label5;
    Label Label3;

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

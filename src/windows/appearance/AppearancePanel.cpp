#include "windows/appearance/AppearancePanel.h"

#include "desktop/ProgramDir.h"
#include "profile/Profile.h"

using namespace Qt::StringLiterals;

namespace {

// The seven themes from the top of the window down, each a caption and the colour it stores; the default colour,
// the one every window is designed with, comes last.
struct Theme {
    QString caption;
    QString colour;
};

const std::array<Theme, 7> themes{{
    {u" 翡 翠 绿"_s, u"&HC0FFC0"_s},
    {u" 冰 蓝 色"_s, u"&HD29788"_s},
    {u" 柠 檬 黄"_s, u"&HC0FFFF"_s},
    {u" 珍 珠 白"_s, u"&HF1F9FA"_s},
    {u" 时 尚 银"_s, u"&HE0E0E0"_s},
    {u" 浅 粉 色"_s, u"&HEAE8FD"_s},
    {u" 默 认 色"_s, u"&HFFC0C0"_s},
}};

} // namespace

// The window design: every control at its place in twips (left, top, width, height), as one table. The options
// are made in index order, which is also their tab order.
// clang-format off
setup::setup(Forms& forms)
    : Form("setup", 2175, 3390, TaskBar::OwnButton),
      Shape1(*this, "Shape1", 0, 0, 2415, 3375),
      Shape3(*this, "Shape3", 120, 120, 1935, 3015),
      Line1(*this, "Line1", 120, 2760, 2040, 2760),
      Label1(*this, "Label1", 720, 2880, 720, 180, u"保存设置"_s),
      Label3(*this, "Label3", 120, 3165, 1905, 180, {}, Label::Size::Designed),
      forms_(forms) {
    for (size_t index = 0; index < themes.size(); ++index)
        Option1[index] = std::make_unique<OptionButton>(*this, u"Option1(%1)"_s.arg(index),
                                                        480, 240 + 360 * int(index), 1455, 255,
                                                        themes[index].caption, themes[index].colour);
    // clang-format on
    // A screen reader reads the theme's name as words, not letter by letter nor with the colour value it stores.
    for (size_t index = 0; index < themes.size(); ++index) {
        Option1[index]->setAccessibleName(QString(themes[index].caption).remove(u' '));
        Option1[index]->setAccessibleDescription(u"颜色主题"_s);
    }
    designCreditLine(Label3);
    withPressEffect(Label1, u"保存设置"_s, [this] { Label1_MouseUp(); });
    setAccessibleName(u"外观设置"_s);
    Label1.setShortcut(Qt::CTRL | Qt::Key_S);
}

void setup::Form_Load() {
    dockRight(*this, forms_.form(FormName::Form1));
}

QString setup::GetProfile(const QString& strFileName, const QString& strSection, const QString& strName) {
    return ::GetProfile(strFileName, strSection, strName);
}

void setup::setProfile(const QString& strFileName, const QString& strSection, const QString& strName,
                       const QString& strSave) {
    ::setProfile(strFileName, strSection, strName, strSave);
}

// Stores the selected theme, then paints every window with the colour the file gives back, read anew for each
// window. All six are read and converted before the first window changes: a save that fails at any point shows
// one box and leaves every window as it was. Without a selection the release only ends the press effect.
void setup::Label1_MouseUp() {
    const OptionButton* chosen = selectedOption();
    if (!chosen)
        return;
    const QString settings = programDir() + u"/tvset.ini"_s;
    setProfile(settings, u"setup"_s, u"color"_s, chosen->ToolTipText());
    ThemeColours colours;
    for (std::optional<OleColor>& colour : colours)
        colour = toBackColor(GetProfile(settings, u"setup"_s, u"color"_s));
    paintTheme(forms_, colours);
}

const OptionButton* setup::selectedOption() const {
    for (const std::unique_ptr<OptionButton>& option : Option1) {
        if (option->Value())
            return option.get();
    }
    return nullptr;
}

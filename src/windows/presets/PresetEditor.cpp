#include "windows/presets/PresetEditor.h"

#include "core/FileFailure.h"
#include "resources/Pictures.h"
#include "runtime/MsgBox.h"

#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace Catalogue;

namespace {

// The engine's own words say why a change was refused, but not that it was the change; the box says both.
bool changePreset(Database& connection, const StationQuery& slot, const QString& name, const QString& address) {
    try {
        return changeStation(connection, slot, name, address);
    } catch (const DbError& refusal) {
        throw DbError(u"电台目录没有接受这次修改（%1）"_s.arg(failureText(refusal)).toStdString());
    }
}

} // namespace

// The window design: every control at its place in twips (left, top, width, height), as one table.
// clang-format off
yz::yz(Forms& forms)
    : Form("yz", 2175, 3390, TaskBar::OwnButton),
      Shape1(*this, "Shape1", 0, 0, 2415, 3375),
      Shape3(*this, "Shape3", 120, 90, 1935, 3030),
      Label4(*this, "Label4", 720, 120, 540, 180, u"注意："_s),
      Label5(*this, "Label5", 240, 360, 1695, 375, u"软件只能设置9个预置频道。"_s, Label::Size::Designed),
      Line2(*this, "Line2", 120, 840, 2040, 840),
      Label6(*this, "Label6", 240, 960, 540, 180, u"频道："_s),
      Combo1(*this, "Combo1", 240, 1200, 1695, 300, u"请选择....."_s, QStringList(SlotNames.begin(), SlotNames.end())),
      Label7(*this, "Label7", 240, 1560, 540, 180, u"名称："_s),
      Text1(*this, "Text1", 240, 1800, 1695, 270),
      Label2(*this, "Label2", 240, 2160, 540, 180, u"网址："_s),
      Text2(*this, "Text2", 240, 2400, 1695, 270),
      Line1(*this, "Line1", 120, 2760, 2040, 2760),
      Label1(*this, "Label1", 720, 2830, 720, 180, u"保存修改"_s),
      Label3(*this, "Label3", 120, 3165, 1905, 180, {}, Label::Size::Designed),
      forms_(forms) {
    // clang-format on
    Label5.setWordWrap(true);
    // The credit line looks as on the main window, pointing hand included, but leads nowhere.
    designCreditLine(Label3);
    Label3.setCursor(Pictures::handCursor());
    ::setTabOrder({&Combo1, &Text2, &Text1});
    Combo1.SetFocus();

    Combo1.onClick = {u"显示预置频道"_s, [this] { Combo1_Click(); }};
    withPressEffect(Label1, u"保存修改"_s, [this] { Label1_MouseUp(); });

    setAccessibleName(u"预置电台"_s);
    Combo1.setAccessibleName(u"预置频道"_s);
    Text1.setAccessibleName(u"名称"_s);
    Text2.setAccessibleName(u"网址"_s);
    Label1.setShortcut(Qt::CTRL | Qt::Key_S);
}

// It is created against the main window's right edge; the main window places it again each time it opens it.
// A catalogue that cannot be opened is no reason for a message at start: the first slot choice says so.
void yz::Form_Load() {
    dockRight(*this, forms_.form(FormName::Form1));
    connection_ = openConnection();
    checkTable(*connection_);
}

// Only a line chosen from the list gets here, never typed text. The category search finds every station whose
// category contains the slot name; its first is the one a save changes. A slot no station holds leaves both
// boxes as they were.
void yz::Combo1_Click() {
    slotQuery_ = StationQuery::categorySearch(Combo1.Text());
    const std::optional<Station> first = firstStation(opened(connection_), *slotQuery_);
    if (!first)
        return;
    // A station lacking a name or web address leaves both boxes as they were.
    if (first->name.isNull() || first->address.isNull())
        throw DbError("这个电台缺少名称或网址");
    Text1.setText(first->name);
    Text2.setText(first->address);
}

// Saves the two boxes into the first station of the slot chosen last, whatever the chooser shows now. A name of
// one blank counts as written; the web address may be empty. The slot query stays, so a further save without a
// new choice writes into the same station again.
void yz::Label1_MouseUp() {
    if (Text1.Text().isEmpty()) {
        MsgBox(u"你都没写，我怎么更新纪录呀？"_s);
        Text1.SetFocus();
        return;
    }
    if (!slotQuery_)
        throw std::runtime_error("还没有从频道列表中选择预置频道");
    if (!changePreset(opened(connection_), *slotQuery_, Text1.Text(), Text2.Text()))
        return;
    MsgBox(u"频道数据已更新！"_s);
    Text1.setText(QString());
    Text2.setText(QString());
    Combo1.setText(QString());
}

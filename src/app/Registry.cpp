#include "app/Registry.h"

#include "catalogue/Backup.h"
#include "core/FileFailure.h"
#include "core/OnError.h"
#include "runtime/MsgBox.h"
#include "windows/appearance/AppearancePanel.h"
#include "windows/editor/ChannelEditor.h"
#include "windows/mainwindow/MainWindow.h"
#include "windows/netradio/NetRadio.h"
#include "windows/panels/CategoryPanel.h"
#include "windows/presets/PresetEditor.h"

#include <QShortcut>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

size_t slot(FormName name) {
    return static_cast<size_t>(name);
}

} // namespace

Registry::Registry() {
    // The catalogue gives up on a backup once a run, so the box comes once a run.
    Catalogue::setNoBackupRule([](const DbError& why) {
        MsgBox(u"今天无法备份电台目录（%1），备份文件夹里也没有最近七天的完好备份。\n\n"
               "这次和以后的修改照样保存，但没有备份可以退回。"_s.arg(failureText(why)));
    });
}

Registry::~Registry() {
    Catalogue::setNoBackupRule({});
    for (Form* window : loaded_)
        delete window;
    for (const QPointer<Form>& window : leaving_)
        delete window.data();
}

Form* Registry::create(FormName name) {
    switch (name) {
    case FormName::Form1:
        return new Form1(*this);
    case FormName::Form2:
        return new Form2(*this);
    case FormName::Form3:
        return new Form3(*this);
    case FormName::add:
        return new add(*this);
    case FormName::setup:
        return new setup(*this);
    case FormName::yz:
        return new yz(*this);
    case FormName::net:
        return new net(*this, keeper_);
    }
    Q_UNREACHABLE();
}

// A window whose load routine fails stays loaded, as far as its load came. The failure is recorded here and goes
// no further: the window's first use may be any handler, and a load routine reports nothing.
Form& Registry::form(FormName name) {
    if (Form* window = loaded_[slot(name)])
        return *window;
    Form* window = create(name);
    // Esc in a side window gives the keyboard back to the main window, whose keys open and close the side windows.
    if (name != FormName::Form1)
        connect(new QShortcut(Qt::Key_Escape, window), &QShortcut::activated, this, &Registry::bringToFront);
    loaded_[slot(name)] = window;
    loadFailed_[slot(name)] = !resumeNext([window] { window->Form_Load(); });
    if (const std::optional<OleColor> colour = std::exchange(awaited_[slot(name)], std::nullopt))
        window->setBackColor(*colour);
    return *window;
}

void Registry::paint(FormName name, OleColor colour) {
    if (Form* window = loaded_[slot(name)])
        window->setBackColor(colour);
    else
        awaited_[slot(name)] = colour;
}

bool Registry::isShown(FormName name) const {
    const Form* window = loaded_[slot(name)];
    return window && window->isVisible();
}

// Restoring the main window shows the browser panels that were open, as restoring from the task bar does.
void Registry::bringToFront() {
    Form* main = loaded_[slot(FormName::Form1)];
    if (!main)
        return;
    main->setWindowState(main->windowState() & ~Qt::WindowMinimized);
    for (Form* window : loaded_) {
        if (window && window != main && window->isVisible())
            window->raise();
    }
    main->Show();
    main->activateWindow();
}

bool Registry::isLoaded(FormName name) const {
    return loaded_[slot(name)] != nullptr || awaited_[slot(name)].has_value();
}

bool Registry::loadFailed(FormName name) const {
    return loaded_[slot(name)] != nullptr && loadFailed_[slot(name)];
}

// A window painted but never built goes as a built one does, with nothing to take down.
void Registry::unload(FormName name) {
    if (!isLoaded(name))
        return;
    awaited_[slot(name)].reset();
    if (Form* window = std::exchange(loaded_[slot(name)], nullptr)) {
        window->hide();
        window->deleteLater();
        std::erase_if(leaving_, [](const QPointer<Form>& gone) { return gone.isNull(); });
        leaving_.emplace_back(window);
    }
    Q_EMIT unloaded(name);
    if (std::none_of(AllWindows.begin(), AllWindows.end(), [this](FormName w) { return isLoaded(w); }))
        Q_EMIT allUnloaded();
}

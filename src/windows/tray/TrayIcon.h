#pragma once

#include "sqlite/Database.h"
#include "windows/forms/Forms.h"

#include <QFileSystemWatcher>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

// The tray icon's menu: the nine quick-select slots named after the stations they play now, the stations played last
// (最近播放), each with the programme on it now where its station has a guide, the player streams go to (播放器),
// 频道设置 and 退出. It is filled at once and again whenever the catalogue changes, so that a tray host that reads the
// menu over D-Bus without announcing that it opens it (Xfce's panel) shows it whole and current; it is filled afresh
// each time it opens too. A slot, 频道设置 and 退出 do exactly what the main window's buttons do; a station played
// before plays as a list line does. It keeps its own catalogue connection, as every window does.
class TrayMenu : public QMenu {
    Q_OBJECT

public:
    explicit TrayMenu(Forms& forms);

    // The submenu 最近播放.
    QMenu& recentStations() { return recent_; }
    // The submenu 播放器: the desktop's default, then every installed player for streams, the one chosen checked.
    QMenu& players() { return players_; }

private:
    void fill();
    void fillPlayers();
    void choosePlayer(const std::optional<QString>& player);
    void playRecent(qint64 station);
    void followCatalogue();

    Forms& forms_;
    std::optional<Database> connection_;
    QMenu recent_;
    QMenu players_;
    QFileSystemWatcher catalogueFile_;
    QTimer refill_;
};

// The program's icon in the desktop's tray; main() makes it only where the desktop has a tray, so that nothing
// changes where there is none. A click on it hides the windows when they are in front and otherwise brings them
// back, those that were open with them.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    // `bringToFront` brings the main window and the windows it has open to the front.
    TrayIcon(Forms& forms, std::function<void()> bringToFront);

    void Icon_Click();
    TrayMenu& menu() { return menu_; }

private:
    Forms& forms_;
    std::function<void()> bringToFront_;
    TrayMenu menu_;
    QSystemTrayIcon icon_;
    // The windows the last click hid, to come back with the next.
    std::vector<FormName> hidden_;
};

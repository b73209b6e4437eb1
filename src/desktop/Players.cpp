// GIO first: its headers name struct members "signals", which Qt's keywords would otherwise rewrite.
#include "desktop/Players.h"

#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <algorithm>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace Players {

namespace {

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using AppInfo = std::unique_ptr<GAppInfo, Unref>;

QString text(const char* utf8) {
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

Family familyOf(const QString& executable) {
    const QString program = QFileInfo(executable).fileName();
    if (program == u"mpv"_s)
        return Family::Mpv;
    if (program == u"vlc"_s || program == u"cvlc"_s || program == u"qvlc"_s)
        return Family::Vlc;
    if (program == u"ffplay"_s)
        return Family::Ffplay;
    if (program == u"celluloid"_s || program == u"gnome-mpv"_s)
        return Family::Celluloid;
    return Family::Other;
}

// The words of an Exec line, read by GLib's own parser of that quoting (no shell runs it): the address goes where
// the line asks for a file or URL, or at the end; other field codes fall away, as a launch without an icon
// or a translated name would leave them.
QStringList commandOf(GAppInfo* app, const QString& executable) {
    gchar** words = nullptr;
    QStringList command{executable};
    bool addressPlaced = false;
    if (g_shell_parse_argv(g_app_info_get_commandline(app), nullptr, &words, nullptr)) {
        for (gchar** word = words + 1; *word; ++word) {
            const QString w = QString::fromUtf8(*word);
            if (w.size() == 2 && w.startsWith(u'%')) {
                if (QStringView(u"fFuU").contains(w[1]) && !addressPlaced) {
                    command.append(u"%U"_s);
                    addressPlaced = true;
                }
                continue;
            }
            command.append(QString(w).replace(u"%%"_s, u"%"_s));
        }
        g_strfreev(words);
    }
    if (!addressPlaced)
        command.append(u"%U"_s);
    return command;
}

// A media application of the desktop's menu: a text editor that also opens playlists is no player.
bool isMediaApplication(GAppInfo* app) {
    if (!G_IS_DESKTOP_APP_INFO(app))
        return false;
    const QStringList categories =
        text(g_desktop_app_info_get_categories(G_DESKTOP_APP_INFO(app))).split(u';', Qt::SkipEmptyParts);
    return categories.contains(u"AudioVideo"_s) || categories.contains(u"Audio"_s) || categories.contains(u"Video"_s);
}

// An application that names no program on this machine (a desktop file left behind) is no player.
std::optional<Player> playerOf(GAppInfo* app) {
    if (!isMediaApplication(app))
        return std::nullopt;
    const QString executable = QStandardPaths::findExecutable(text(g_app_info_get_executable(app)));
    if (executable.isEmpty())
        return std::nullopt;
    Player player{text(g_app_info_get_id(app)), text(g_app_info_get_name(app)), executable,
                  commandOf(app, executable),   familyOf(executable),           {}};
    for (const char* const* type = g_app_info_get_supported_types(app); type && *type; ++type) {
        if (streamTypes().contains(text(*type)))
            player.types.append(text(*type));
    }
    return player;
}

// What the desktop answered, until it says its associations changed.
struct Known {
    QHash<QString, std::optional<Player>> defaults;
    std::optional<std::vector<Player>> all;

    Known() {
        // The monitor tells through the main context, which Qt's event loop runs.
        g_signal_connect(g_app_info_monitor_get(), "changed", G_CALLBACK(+[](GAppInfoMonitor*, gpointer known) {
                             static_cast<Known*>(known)->defaults.clear();
                             static_cast<Known*>(known)->all.reset();
                         }),
                         this);
    }
};

Known& known() {
    static Known answers;
    return answers;
}

// The desktop's default for the type where that is a player, else the first player the desktop lists for it.
std::optional<Player> lookUpDefault(const QByteArray& type) {
    if (const AppInfo app(g_app_info_get_default_for_type(type.constData(), FALSE)); app) {
        if (std::optional<Player> player = playerOf(app.get()))
            return player;
    }
    std::optional<Player> first;
    GList* apps = g_app_info_get_all_for_type(type.constData());
    for (GList* app = apps; app && !first; app = app->next)
        first = playerOf(static_cast<GAppInfo*>(app->data));
    g_list_free_full(apps, g_object_unref);
    return first;
}

std::vector<Player> lookUpAll() {
    std::vector<Player> players;
    for (const QString& type : streamTypes()) {
        GList* apps = g_app_info_get_all_for_type(type.toUtf8().constData());
        for (GList* app = apps; app; app = app->next) {
            const std::optional<Player> player = playerOf(static_cast<GAppInfo*>(app->data));
            if (player && std::ranges::none_of(players, [&](const Player& p) { return p.id == player->id; }))
                players.push_back(*player);
        }
        g_list_free_full(apps, g_object_unref);
    }
    std::ranges::sort(players, {}, &Player::name);
    if (const std::optional<Player> first = defaultFor(streamTypes().first())) {
        const auto at = std::ranges::find(players, first->id, &Player::id);
        if (at != players.end())
            std::rotate(players.begin(), at, at + 1);
    }
    return players;
}

} // namespace

const QStringList& streamTypes() {
    static const QStringList types{
        u"application/vnd.apple.mpegurl"_s,
        u"audio/mpeg"_s,
        u"audio/aac"_s,
        u"audio/mp4"_s,
        u"audio/ogg"_s,
        u"audio/flac"_s,
        u"audio/x-scpls"_s,
        u"audio/x-mpegurl"_s,
        u"application/dash+xml"_s,
        u"video/mp2t"_s,
        u"video/x-flv"_s,
        u"video/mp4"_s,
        u"video/webm"_s,
        u"video/x-matroska"_s,
        u"x-scheme-handler/mms"_s,
        u"x-scheme-handler/mmsh"_s,
        u"x-scheme-handler/rtsp"_s,
        u"x-scheme-handler/rtmp"_s,
        u"x-scheme-handler/rtp"_s,
        u"x-scheme-handler/udp"_s,
        u"x-scheme-handler/srt"_s,
    };
    return types;
}

std::optional<Player> defaultFor(const QString& type) {
    Known& answers = known();
    if (const auto kept = answers.defaults.constFind(type); kept != answers.defaults.cend())
        return *kept;
    answers.defaults.insert(type, lookUpDefault(type.toUtf8()));
    return answers.defaults.value(type);
}

std::vector<Player> all() {
    Known& answers = known();
    if (!answers.all)
        answers.all = lookUpAll();
    return *answers.all;
}

std::optional<Player> named(const QString& name) {
    const QString wanted = name.toLower();
    for (const Player& player : all()) {
        const QString program = QFileInfo(player.executable).fileName();
        if (player.id.toLower() == wanted || player.id.toLower() == wanted + u".desktop"_s || program == wanted)
            return player;
    }
    return std::nullopt;
}

} // namespace Players

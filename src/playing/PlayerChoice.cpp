#include "playing/PlayerChoice.h"

#include "sqlite/Statement.h"

using namespace Qt::StringLiterals;

namespace PlayerChoice {

namespace {

const QString PlayerKey = u"player"_s; // "player" for all, "player:国内广播" for a category
const QString DirectoryClicksKey = u"directory-clicks"_s;

QString keyOf(const QString& category) {
    return category.isEmpty() ? PlayerKey : PlayerKey + u':' + category;
}

std::optional<QString> setting(Database& connection, const QString& key) {
    Statement query(connection, u"SELECT value FROM player_settings WHERE key = ?1"_s);
    query.bind(1, key);
    return query.step() ? std::optional(query.text(0)) : std::nullopt;
}

void setSetting(Database& connection, const QString& key, const std::optional<QString>& value) {
    Statement change(connection, value ? u"INSERT OR REPLACE INTO player_settings (key, value) VALUES (?1, ?2)"_s
                                       : u"DELETE FROM player_settings WHERE key = ?1"_s);
    change.bind(1, key);
    if (value)
        change.bind(2, *value);
    change.step();
}

} // namespace

std::optional<QString> chosen(Database& connection, const QString& category) {
    if (std::optional<QString> own = setting(connection, keyOf(category)))
        return own;
    return setting(connection, PlayerKey);
}

std::optional<QString> chosenForAll(Database& connection) {
    return setting(connection, PlayerKey);
}

void choose(Database& connection, const QString& category, const std::optional<QString>& player) {
    setSetting(connection, keyOf(category), player);
}

std::vector<Choice> choices(Database& connection) {
    Statement query(connection, u"SELECT key, value FROM player_settings "
                                "WHERE key = ?1 OR substr(key, 1, length(?1) + 1) = ?1 || ':' ORDER BY key"_s);
    query.bind(1, PlayerKey);
    std::vector<Choice> found;
    while (query.step())
        found.push_back({query.text(0).mid(PlayerKey.size() + 1), query.text(1)});
    return found;
}

bool directoryClicks(Database& connection) {
    return setting(connection, DirectoryClicksKey) != u"off"_s;
}

void setDirectoryClicks(Database& connection, bool on) {
    setSetting(connection, DirectoryClicksKey, on ? std::nullopt : std::optional(u"off"_s));
}

bool clickDue(Database& connection, const QString& stationUuid, const QDate& today) {
    const QString day = today.toString(Qt::ISODate);
    Statement last(connection, u"SELECT 1 FROM directory_clicks WHERE station = ?1 AND day = ?2"_s);
    last.bind(1, stationUuid);
    last.bind(2, day);
    if (last.step())
        return false;
    Statement remember(connection, u"INSERT OR REPLACE INTO directory_clicks (station, day) VALUES (?1, ?2)"_s);
    remember.bind(1, stationUuid);
    remember.bind(2, day);
    remember.step();
    return true;
}

} // namespace PlayerChoice

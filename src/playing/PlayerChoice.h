#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

class Database;

// The user's choices of where stations play, kept in tv.mdb in a table of their own, player_settings
// (src/catalogue/steps/03-player-settings.sql): the player
// for every stream, a player for the streams of one category, and whether the directory hears of a play.
namespace PlayerChoice {

struct Choice {
    QString category; // empty: every category without a choice of its own
    QString player;   // the desktop file's id
    bool operator==(const Choice&) const = default;
};

// The player chosen for the streams of a category, else the one chosen for all; none where the desktop chooses.
std::optional<QString> chosen(Database& connection, const QString& category);

// The player chosen for every category without a choice of its own; none where the desktop chooses.
std::optional<QString> chosenForAll(Database& connection);

// Chooses a player for a category (empty: for all), or, with none, gives the choice back to the desktop.
void choose(Database& connection, const QString& category, const std::optional<QString>& player);

// Every choice, the one for all first, then by category.
std::vector<Choice> choices(Database& connection);

// Whether playing a station of the community directory tells the directory (on until turned off).
bool directoryClicks(Database& connection);
void setDirectoryClicks(Database& connection, bool on);

// True once a day for a directory station: the directory is told of a station at most once a day, whatever the
// number of plays. Remembers the day.
bool clickDue(Database& connection, const QString& stationUuid, const QDate& today);

} // namespace PlayerChoice

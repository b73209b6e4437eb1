-- Where stations play: the user's choice of player, for every category ("player") or for one
-- ("player:国内广播"), and whether plays are told to the community directory ("directory-clicks" = "off").
CREATE TABLE player_settings (
    key TEXT PRIMARY KEY,
    value TEXT NOT NULL
);

-- The last day the directory was told that one of its stations was played: once a day at most.
CREATE TABLE directory_clicks (
    station TEXT PRIMARY KEY, -- the directory's stationuuid
    day TEXT NOT NULL         -- ISO 8601 date
);

-- Version 1: the tables of the program's own beside table radio, which earlier releases created where they were
-- first used; a catalogue of those releases may hold any of them already, in this shape. Each names a station by
-- its rowid in table radio.

-- The last finding of the health check for each station.
CREATE TABLE IF NOT EXISTS station_health (
    station INTEGER PRIMARY KEY,
    address TEXT,          -- the web address that was checked
    time TEXT NOT NULL,    -- when, in UTC, ISO 8601
    result TEXT NOT NULL,  -- the verdict's key: plays, not-found ...
    detail TEXT NOT NULL
);

-- The stations played last, for the tray.
CREATE TABLE IF NOT EXISTS recent_stations (
    station INTEGER PRIMARY KEY,
    played INTEGER NOT NULL -- larger is later
);

-- The lists the catalogue follows, and what each entry of a list last wrote.
CREATE TABLE IF NOT EXISTS subscription (
    id INTEGER PRIMARY KEY,
    address TEXT NOT NULL UNIQUE,  -- as the user gave it
    category TEXT,                 -- every station into this one; NULL: the list's groups
    etag TEXT, last_modified TEXT, -- the validators of the last answer, asked with next time
    digest TEXT,                   -- SHA-256 of the last list taken in
    updated TEXT,                  -- when, in UTC, ISO 8601
    result TEXT                    -- what that did, in a line
);
CREATE TABLE IF NOT EXISTS subscription_entry (
    subscription INTEGER NOT NULL,            -- subscription.id
    entry TEXT NOT NULL,                      -- the entry's tvg-id, else its group and name
    station INTEGER,                          -- its station's rowid in radio; NULL: the catalogue's own
    category TEXT, name TEXT, address TEXT,   -- what the program last wrote to that station
    PRIMARY KEY (subscription, entry)
) WITHOUT ROWID;

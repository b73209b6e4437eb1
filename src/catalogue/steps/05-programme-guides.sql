-- Version 3: programme guides (XMLTV), where they come from and what they say of the catalogue's stations: only the
-- guides' channels matched to a station, and their programmes from two hours ago to seven days ahead.

-- A guide named by a subscribed list, or added by hand.
CREATE TABLE guide_source (
    id INTEGER PRIMARY KEY,
    address TEXT NOT NULL UNIQUE,
    shift INTEGER NOT NULL DEFAULT 0, -- hours added to the guide's times
    subscription INTEGER,             -- subscription.id of the list that names it; NULL: added by hand
    etag TEXT, last_modified TEXT,    -- the validators of the last answer, asked with next time
    updated TEXT,                     -- when, in UTC, ISO 8601
    result TEXT                       -- what that did, or why the guide was refused, in a line
);

-- A channel of a guide that a station is matched to.
CREATE TABLE guide_channel (
    id INTEGER PRIMARY KEY,
    source INTEGER NOT NULL, -- guide_source.id
    xmltv_id TEXT NOT NULL
);
CREATE INDEX guide_channel_source ON guide_channel (source);

-- Which channel a station's guide is: the station's rowid in table radio beside guide_channel.id.
CREATE TABLE guide_station (
    station INTEGER NOT NULL,
    channel INTEGER NOT NULL,
    PRIMARY KEY (station, channel)
) WITHOUT ROWID;
CREATE INDEX guide_station_channel ON guide_station (channel);

-- A channel's programmes never overlap, so their ends are in the order of their starts: the programme on at a time
-- is the first that ends after it, one step into this key.
CREATE TABLE guide_programme (
    channel INTEGER NOT NULL,                     -- guide_channel.id
    start INTEGER NOT NULL, stop INTEGER NOT NULL, -- seconds since 1970, UTC
    title TEXT NOT NULL,
    sub_title TEXT,
    description TEXT,
    category TEXT,
    PRIMARY KEY (channel, stop)
) WITHOUT ROWID;

-- Version 2: what a station's source said about it beyond its category, name and web address, in the order the
-- source gave it: the attributes of a playlist entry and of its list, the fields of the community directory. Table
-- radio stays as it is; a station changed in place keeps its attributes.
CREATE TABLE IF NOT EXISTS station_attribute (
    station INTEGER NOT NULL,  -- the rowid of the station in table radio
    position INTEGER NOT NULL, -- the order the source gave them in, from 0
    source TEXT NOT NULL,      -- where it was written: m3u, vlcopt, kodi, m3u-list, pls, xspf, directory
    name TEXT NOT NULL,        -- as the source spells it
    value TEXT NOT NULL,
    PRIMARY KEY (station, position)
) WITHOUT ROWID;

-- A deleted station loses its attributes, whichever program deletes it, so that a station given its row number
-- later never inherits them.
CREATE TRIGGER IF NOT EXISTS station_attribute_deleted AFTER DELETE ON radio BEGIN
    DELETE FROM station_attribute WHERE station = old.rowid;
END;

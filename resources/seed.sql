-- The station catalogue as shipped: built into tv.mdb beside the program at build time.
-- Fields by position: 0 编号, 1 类别, 2 名称 (name), 3 网址 (web address). Rows come back in the order
-- they are inserted here, which is the order the panels list them and the quick-select buttons search them.
PRAGMA encoding = 'UTF-8';

CREATE TABLE radio (
    编号 INTEGER PRIMARY KEY,
    类别 TEXT,
    名称 TEXT,
    网址 TEXT
);
CREATE INDEX radio_类别 ON radio (类别);

-- STATIONS

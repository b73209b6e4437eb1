-- Table radio as every catalogue has it, the shipped one and one converted from an old catalogue alike.
-- Fields by position: 0 编号, 1 类别, 2 名称 (name), 3 网址 (web address). Rows come back in the order of 编号,
-- which is the order they were added in.
CREATE TABLE radio (
    编号 INTEGER PRIMARY KEY,
    类别 TEXT,
    名称 TEXT,
    网址 TEXT
);
CREATE INDEX radio_类别 ON radio (类别);

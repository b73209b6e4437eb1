-- The indexes that keep work on a large catalogue fast. 编号 is the row's number, so radio_listing keeps the
-- stations of a category in catalogue order, and so does radio_names. The shipped catalogue has them; the program
-- creates them in a catalogue from elsewhere that lacks them.
CREATE INDEX IF NOT EXISTS radio_listing ON radio (类别, 编号, 名称);
CREATE INDEX IF NOT EXISTS radio_station ON radio (名称, 类别, 网址);
CREATE INDEX IF NOT EXISTS radio_names ON radio (编号, 名称);

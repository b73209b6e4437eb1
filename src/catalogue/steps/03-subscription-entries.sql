-- Every entry of a subscription's list knows the station it stands for, whether the list added it or found it in
-- the catalogue; `station` is NULL only in entries recorded before this step, which the next update fills in.
-- `category`, `name`, `address` are now what the list last gave for the station.
-- users: 1 where the catalogue held the station before the list gave it: the list never changes or removes it.
ALTER TABLE subscription_entry ADD COLUMN users INTEGER NOT NULL DEFAULT 0;
-- edited: the fields the user changed, as bits (1 category, 2 name, 4 address, 8 attributes); a field once changed
-- stays the user's.
ALTER TABLE subscription_entry ADD COLUMN edited INTEGER NOT NULL DEFAULT 0;
-- missed: the updates in a row whose list left the entry out; --prune waits for two.
ALTER TABLE subscription_entry ADD COLUMN missed INTEGER NOT NULL DEFAULT 0;
-- attributes: a digest of the attributes the list last gave the entry (tvg-logo …); they follow the list as long
-- as the station's own are the ones it gave.
ALTER TABLE subscription_entry ADD COLUMN attributes TEXT;
-- Whether a station the catalogue holds is one an entry of the list already gave.
CREATE INDEX IF NOT EXISTS subscription_entry_station ON subscription_entry (station);

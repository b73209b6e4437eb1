-- The last time the program tried to update each subscription, whatever came of it: the windows ask a list once a
-- day however its server answered, and show a failure where the subscriptions are listed.
CREATE TABLE subscription_attempt (
    subscription INTEGER PRIMARY KEY, -- subscription.id
    time TEXT NOT NULL,               -- when, in UTC, ISO 8601
    failed INTEGER NOT NULL,          -- 1: nothing came
    outcome TEXT NOT NULL             -- what came of it, in a line
);

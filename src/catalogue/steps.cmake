# The steps that bring a catalogue from one version of its schema to the next, in order: the Nth file makes
# version N, and its name starts with that number. The program runs the missing ones at open; the seed catalogue
# is built with all of them.
set(CATALOGUE_STEPS
    01-side-tables.sql
    02-station-attributes.sql
    03-subscription-entries.sql
    04-player-settings.sql
    05-programme-guides.sql
    06-subscription-attempts.sql)

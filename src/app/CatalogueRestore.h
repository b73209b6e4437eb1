#pragma once

// Start-up, before the first window loads: a tv.mdb that is there but can no longer be read as a catalogue (no
// SQLite file, damaged, without the table radio) leads to one box offering its newest sound backup. Yes renames
// the damaged file aside, never deleting it, and puts the backup in its place; No, or no sound backup, starts the
// program as it is.
void offerCatalogueRestore();

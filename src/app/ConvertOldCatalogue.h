#pragma once

// Brings an old Jet tv.mdb in the program's directory over into a catalogue of this program, at start-up before
// any window opens its connection, and says in one box what came of it. After a failure the old file is as it
// was and the program starts as with a missing catalogue.
void convertOldCatalogue();

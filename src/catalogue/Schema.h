#pragma once

#include "sqlite/Database.h"

// The versions of the catalogue's schema. Table radio is the same in every version; the later ones add the tables
// and indexes of the program's own beside it. A catalogue keeps its version in the file's user_version: 0 for the
// shipped catalogues and the converted ones of earlier releases, which carry no version.
namespace Catalogue {

// The version this program writes: the number of upgrade steps it knows (src/catalogue/steps.cmake).
int currentVersion();

// The version a catalogue says it has.
int versionOf(Database& connection);

// A catalogue written by a later version of the program, whose tables this one does not know: it is neither read
// nor changed.
class NewerCatalogueError : public DbError {
public:
    NewerCatalogueError(const QString& path, int version);
};

// Throws NewerCatalogueError for a catalogue newer than the program; returns whether it is older.
bool needsUpgrade(Database& connection, const QString& path);

// Brings a catalogue of an earlier version up to date: after the day's backup, every missing step in order and the
// new version, in one transaction, so that a failure leaves the catalogue as it was. Table radio, its fields and the
// order of its rows stay as they are.
void upgrade(Database& connection, const QString& path);

// Runs one of the SQL files built into the program (:/catalogue/NAME): the same files build the shipped catalogue.
void runScript(Database& connection, const QString& name);

// Creates a catalogue of the current version on a connection to an empty database: table radio as the shipped
// catalogue has it, and every table beside it.
void createSchema(Database& empty);

} // namespace Catalogue

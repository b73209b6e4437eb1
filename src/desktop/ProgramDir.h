#pragma once

#include "core/FileFailure.h"

#include <QString>

// The program's directory: tv.mdb, tvset.ini and tvset.tmp live there, and it is the working directory handed to
// the shell. It is decided once, at the first call:
// - the folder of the program file, when tv.mdb sits there and the user may write there (the build tree, an
//   unpacked portable folder);
// - otherwise the user's data folder ($XDG_DATA_HOME/vimaro, normally ~/.local/share/vimaro), created at the first
//   start and given a copy of each installed file it lacks. A copy the user has is never replaced, so a new
//   version of the program keeps the user's stations and theme.
// Throws ProgramDirError, saying why, when the data folder cannot be made. Tests point it at a throw-away folder.
QString programDir();
void setProgramDirForTesting(const QString& dir);

class ProgramDirError : public FileFailure {
public:
    using FileFailure::FileFailure;
};

// Where an installed program and its user keep their files.
struct ProgramPlaces {
    QString programFolder;
    bool programFolderWritable = false;
    // The folder an installed program keeps the copies a data folder starts from.
    QString installedData;
    QString userData;
};

// The decision of programDir() for the given places, with the data folder made and seeded when it is chosen.
QString settleProgramDir(const ProgramPlaces& places);

#pragma once

#include <QString>

// The directory of the program file: tv.mdb, tvset.ini and tvset.tmp live there, and it is the working
// directory handed to the shell. Tests point it at a throw-away directory.
QString programDir();
void setProgramDirForTesting(const QString& dir);

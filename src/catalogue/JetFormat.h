#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

// The Jet engine versions whose files the old program kept its catalogue in: Jet 3 (Access 97) and Jet 4
// (Access 2000 to 2003, what DAO 3.6 writes).
enum class JetFormat { Jet3, Jet4 };

// Tells a Jet file from its header, whatever its name: nothing for a missing file, a SQLite database or any
// other file.
std::optional<JetFormat> jetFormat(const QString& path);
// The same from the first bytes of a file, for one that can be read only once (a pipe).
std::optional<JetFormat> jetFormatOf(QByteArrayView start);

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The sample Jet files of tests/jet/data. Tests take their bytes and write them into their own throw-away
// folder, so the samples themselves are never opened.
namespace JetSamples {

QByteArray bytes(const QString& name);

// The sample with the first occurrence of `from` replaced by `to`, both as Jet 4 stores names (UTF-16, little
// endian) and of equal length: in the catalogue samples the first occurrence of a field name is the one in the
// table definition, so this renames a field.
QByteArray renamingField(const QString& name, const QString& from, const QString& to);

// The expected content of a catalogue sample, from its .rows file: the column names, then one line per row in
// record order, NULL written as \N.
QList<QStringList> rows(const QString& name);

} // namespace JetSamples

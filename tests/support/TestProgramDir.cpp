#include "tests/support/TestProgramDir.h"

#include "platform/ProgramDir.h"

#include <QFile>
#include <QTest>

TestProgramDir::TestProgramDir() {
    if (!dir_.isValid())
        qFatal("cannot create a temporary program directory");
    if (!QFile::copy(QStringLiteral(VIMARO_SEED_CATALOGUE), catalogue()) ||
        !QFile::copy(QStringLiteral(VIMARO_SEED_SETTINGS), settings()))
        qFatal("cannot copy the seed catalogue and settings file into %s", qPrintable(path()));
    // Copies keep the read-only bits of their sources; the program expects to write both files.
    for (const QString& name : {catalogue(), settings()})
        QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner);
    setProgramDirForTesting(path());
}

TestProgramDir::~TestProgramDir() {
    setProgramDirForTesting({});
}

QByteArray TestProgramDir::read(const QString& name) const {
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TestProgramDir::write(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file(name)));
}

void TestProgramDir::remove(const QString& name) const {
    QFile::remove(file(name));
}

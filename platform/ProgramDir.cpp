#include "platform/ProgramDir.h"

#include <QCoreApplication>

namespace {
QString testDir;
}

QString programDir() {
    return testDir.isEmpty() ? QCoreApplication::applicationDirPath() : testDir;
}

void setProgramDirForTesting(const QString& dir) {
    testDir = dir;
}

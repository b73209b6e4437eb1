#include "catalogue/Schema.h"

#include "catalogue/Backup.h"
#include "sqlite/Statement.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace Catalogue {

namespace {

// The upgrade steps built into the program, in the order of their numbers: the Nth makes version N.
const QStringList& steps() {
    static const QStringList all = QDir(u":/catalogue/steps"_s).entryList(QDir::Files, QDir::Name);
    return all;
}

void setVersion(Database& connection, int version) {
    connection.execute(u"PRAGMA user_version = %1"_s.arg(version));
}

} // namespace

// Runs one of the SQL files built into the program: the same files build the shipped catalogue.
void runScript(Database& connection, const QString& name) {
    QFile script(u":/catalogue/"_s + name);
    if (!script.open(QIODevice::ReadOnly))
        qFatal("%s is not built into the program", qPrintable(name));
    connection.execute(QString::fromUtf8(script.readAll()));
}

int currentVersion() {
    return static_cast<int>(steps().size());
}

int versionOf(Database& connection) {
    Statement version(connection, u"PRAGMA user_version"_s);
    return version.step() ? static_cast<int>(version.integer(0)) : 0;
}

NewerCatalogueError::NewerCatalogueError(const QString& path, int version)
    : DbError(u"电台目录 %1 由较新版本的 Vimaro 写成（目录版本 %2，本程序只认识到版本 %3），本程序不读也不改动它。"
              "请使用新版本的 Vimaro 打开它。"_s.arg(QDir::toNativeSeparators(path))
                  .arg(version)
                  .arg(currentVersion())
                  .toStdString()) {}

bool needsUpgrade(Database& connection, const QString& path) {
    const int version = versionOf(connection);
    if (version > currentVersion())
        throw NewerCatalogueError(path, version);
    return version < currentVersion();
}

void upgrade(Database& connection, const QString& path) {
    if (!needsUpgrade(connection, path))
        return;
    backUpBeforeWriting();
    Transaction transaction(connection);
    // Another program may have brought the catalogue up to date since it was first looked at.
    if (!needsUpgrade(connection, path))
        return;
    for (int step = versionOf(connection); step < currentVersion(); ++step)
        runScript(connection, u"steps/"_s + steps()[step]);
    setVersion(connection, currentVersion());
    transaction.commit();
}

void createSchema(Database& empty) {
    runScript(empty, u"schema.sql"_s);
    for (const QString& step : steps())
        runScript(empty, u"steps/"_s + step);
    setVersion(empty, currentVersion());
}

} // namespace Catalogue

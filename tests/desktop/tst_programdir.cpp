#include "desktop/ProgramDir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Where the catalogue and the settings file live: beside the program, or in the user's data folder.
class TestDataFolder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void whereTheDataLives_data();
    void whereTheDataLives();
    void seededCopies_areTheUsersToWrite();
    void dataFolderThatCannotBeMade_saysWhichAndWhy();

private:
    QString path(const QString& file) const { return root->filePath(file); }
    void write(const QString& file, const QByteArray& bytes) const;
    QByteArray read(const QString& file) const;

    std::optional<QTemporaryDir> root;
    ProgramPlaces places;
};

void TestDataFolder::init() {
    root.emplace();
    for (const QString& folder : {u"bin"_s, u"share/vimaro"_s})
        QDir(root->path()).mkpath(folder);
    places = {path(u"bin"_s), true, path(u"share/vimaro"_s), path(u"home/.local/share/vimaro"_s)};
}

void TestDataFolder::write(const QString& file, const QByteArray& bytes) const {
    QDir(root->path()).mkpath(QFileInfo(path(file)).path());
    QFile f(path(file));
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

QByteArray TestDataFolder::read(const QString& file) const {
    QFile f(path(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : "(missing)";
}

void TestDataFolder::whereTheDataLives_data() {
    QTest::addColumn<bool>("besideProgram");        // tv.mdb and tvset.ini in the program's folder
    QTest::addColumn<bool>("writable");             // the user may write the program's folder
    QTest::addColumn<bool>("installed");            // share/vimaro holds the installed copies
    QTest::addColumn<QByteArray>("usersCatalogue"); // a tv.mdb already in the data folder
    QTest::addColumn<QString>("programDir");
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QByteArray>("settings");

    const QString home = u"home/.local/share/vimaro"_s;
    QTest::newRow("portable folder") << true << true << true << QByteArray() << u"bin"_s << QByteArray("beside")
                                     << QByteArray("beside ini");
    QTest::newRow("installed, first start")
        << false << true << true << QByteArray() << home << QByteArray("installed") << QByteArray("installed ini");
    QTest::newRow("installed, user's copy kept on a new version")
        << false << false << true << QByteArray("user's") << home << QByteArray("user's")
        << QByteArray("installed ini");
    QTest::newRow("read-only portable folder")
        << true << false << false << QByteArray() << home << QByteArray("beside") << QByteArray("beside ini");
    QTest::newRow("nothing installed") << false << false << false << QByteArray() << home << QByteArray("(missing)")
                                       << QByteArray("(missing)");
}

void TestDataFolder::whereTheDataLives() {
    QFETCH(bool, besideProgram);
    QFETCH(bool, writable);
    QFETCH(bool, installed);
    QFETCH(QByteArray, usersCatalogue);
    QFETCH(QString, programDir);
    QFETCH(QByteArray, catalogue);
    QFETCH(QByteArray, settings);
    if (besideProgram) {
        write(u"bin/tv.mdb"_s, "beside");
        write(u"bin/tvset.ini"_s, "beside ini");
    }
    if (installed) {
        write(u"share/vimaro/tv.mdb"_s, "installed");
        write(u"share/vimaro/tvset.ini"_s, "installed ini");
    }
    if (!usersCatalogue.isEmpty())
        write(u"home/.local/share/vimaro/tv.mdb"_s, usersCatalogue);
    places.programFolderWritable = writable;

    QCOMPARE(settleProgramDir(places), path(programDir));
    QCOMPARE(read(programDir + u"/tv.mdb"_s), catalogue);
    QCOMPARE(read(programDir + u"/tvset.ini"_s), settings);
    if (programDir == u"bin"_s)
        QVERIFY(!QFileInfo::exists(places.userData));
}

void TestDataFolder::seededCopies_areTheUsersToWrite() {
    write(u"share/vimaro/tv.mdb"_s, "installed");
    QFile::setPermissions(path(u"share/vimaro/tv.mdb"_s), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString dir = settleProgramDir(places);
    QVERIFY(QFile::permissions(dir + u"/tv.mdb"_s).testFlag(QFile::WriteOwner));
}

void TestDataFolder::dataFolderThatCannotBeMade_saysWhichAndWhy() {
    write(u"home/.local"_s, "a file where a folder should be");
    try {
        settleProgramDir(places);
        QFAIL("no error for a data folder that cannot be made");
    } catch (const ProgramDirError& error) {
        const QString message = QString::fromStdString(error.what());
        QVERIFY2(message.contains(places.userData) && message.contains(u"Not a directory"_s), error.what());
    }
}

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_programdir.moc"

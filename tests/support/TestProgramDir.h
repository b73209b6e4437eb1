#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

struct sqlite3;

// Another program's connection holding the catalogue in an exclusive transaction for as long as it lives: no other
// connection can read or write it meanwhile.
class CatalogueLock {
public:
    explicit CatalogueLock(const QString& catalogue);

private:
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db_;
};

// A throw-away program directory holding a fresh copy of the shipped catalogue and settings file,
// made the program's directory for as long as it lives. Old catalogues are read by the built program meanwhile.
class TestProgramDir {
public:
    TestProgramDir();
    ~TestProgramDir();
    TestProgramDir(const TestProgramDir&) = delete;
    TestProgramDir& operator=(const TestProgramDir&) = delete;

    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    QString catalogue() const { return file(QStringLiteral("tv.mdb")); }
    QString settings() const { return file(QStringLiteral("tvset.ini")); }

    QByteArray read(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;
    void remove(const QString& name) const;
    // Runs SQL on the catalogue behind the program's back, as another program would.
    void changeCatalogue(const QString& sql) const;
    CatalogueLock lockCatalogue() const { return CatalogueLock(catalogue()); }
    // Overwrites the page of the index radio_listing with zeros: the stations themselves still read, only the
    // engine's full check finds the damage.
    void damageAnIndex() const;

private:
    QTemporaryDir dir_;
};

// A suite whose every test function works in a fresh program directory of its own, gone when it ends.
class ProgramDirTest : public QObject {
    Q_OBJECT

protected Q_SLOTS:
    void init() { dir.emplace(); }
    void cleanup() { dir.reset(); }

protected:
    std::optional<TestProgramDir> dir;
};

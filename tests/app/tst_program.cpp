#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

// The built program as a user or a script starts it: its command line and its one running copy. Each test has
// runtime folder of its own, where the running copy keeps its lock and its socket.
class TestProgram : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { runtime.emplace(); }
    void cleanup();

    void commandLine_answersWithExitCodesScriptsRelyOn_data();
    void commandLine_answersWithExitCodesScriptsRelyOn();
    void secondStart_handsOverToTheRunningCopy_andEnds();
    void crashedCopy_doesNotBlockTheNextStart();

private:
    QProcess& start(const QStringList& arguments = {});
    void waitUntilRunning();
    // Sockets count as system files.
    int files() const {
        return QDir(runtime->path()).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot).size();
    }

    std::optional<QTemporaryDir> runtime;
    std::vector<std::unique_ptr<QProcess>> started;
};

void TestProgram::cleanup() {
    for (const auto& process : started) {
        process->kill();
        process->waitForFinished();
    }
    started.clear();
    runtime.reset();
}

QProcess& TestProgram::start(const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime->path());
    process->setProcessEnvironment(environment);
    process->start(QStringLiteral(VIMARO_PROGRAM), arguments);
    if (!process->waitForStarted())
        qFatal("cannot start %s", VIMARO_PROGRAM);
    started.push_back(std::move(process));
    return *started.back();
}

// The running copy has taken its lock and listens beside it.
void TestProgram::waitUntilRunning() {
    QTRY_COMPARE_WITH_TIMEOUT(files(), 2, 10000); // the lock and the socket
}

void TestProgram::commandLine_answersWithExitCodesScriptsRelyOn_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // the start of what it prints, on standard output for 0, else on errors
    QTest::newRow("version") << QStringList{u"--version"_s} << 0 << u"vimaro 2.0\n"_s;
    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"Usage: "_s;
    QTest::newRow("unknown option") << QStringList{u"--colour"_s} << 2 << u"vimaro: Unknown option 'colour'."_s;
    QTest::newRow("unknown command") << QStringList{u"play"_s} << 2 << u"vimaro: unknown command \"play\""_s;
}

void TestProgram::commandLine_answersWithExitCodesScriptsRelyOn() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QProcess& program = start(arguments);
    QVERIFY(program.waitForFinished());
    QCOMPARE(program.exitCode(), exitCode);
    const QByteArray printed = exitCode == 0 ? program.readAllStandardOutput() : program.readAllStandardError();
    QVERIFY2(printed.startsWith(output.toUtf8()), printed.constData());
    QCOMPARE(files(), 0);
}

void TestProgram::secondStart_handsOverToTheRunningCopy_andEnds() {
    QProcess& first = start();
    waitUntilRunning();
    QProcess& second = start();
    QVERIFY(second.waitForFinished(5000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
}

void TestProgram::crashedCopy_doesNotBlockTheNextStart() {
    QProcess& crashed = start();
    waitUntilRunning();
    crashed.kill();
    QVERIFY(crashed.waitForFinished());
    QCOMPARE(files(), 2);

    QProcess& next = start();
    QVERIFY(!next.waitForFinished(1500));
    // It took the place over: a later start hands over to it.
    QProcess& later = start();
    QVERIFY(later.waitForFinished(5000));
    QCOMPARE(later.exitCode(), 0);
    QCOMPARE(next.state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The built program as a user or a script starts it: its command line and its one running copy. Each test has
// runtime folder of its own, where the running copy keeps its lock and its socket.
class TestProgram : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        runtime.emplace();
        locale = u"C.UTF-8"_s;
    }
    void cleanup();

    void commandLine_answersWithExitCodesScriptsRelyOn_data();
    void commandLine_answersWithExitCodesScriptsRelyOn();
    void secondStart_handsOverToTheRunningCopy_andEnds();
    void crashedCopy_doesNotBlockTheNextStart();
    void importEndedByALimitOrASignal_isRolledBackAndSaid_data();
    void importEndedByALimitOrASignal_isRolledBackAndSaid();

private:
    // The program, with `inChild` run in its new process before it starts.
    QProcess& start(const QStringList& arguments = {}, const QString& program = QStringLiteral(VIMARO_PROGRAM),
                    const std::function<void()>& inChild = {});
    void waitUntilRunning();
    // Sockets count as system files.
    int files() const {
        return QDir(runtime->path()).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot).size();
    }

    std::optional<QTemporaryDir> runtime;
    QString locale; // the program's LC_ALL
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

QProcess& TestProgram::start(const QStringList& arguments, const QString& program,
                             const std::function<void()>& inChild) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime->path());
    environment.insert(u"LC_ALL"_s, locale);
    process->setProcessEnvironment(environment);
    if (inChild)
        process->setChildProcessModifier(inChild);
    process->start(program, arguments);
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
    QTest::addColumn<QString>("output");   // the start of what it prints, on standard output for 0, else on errors
    QTest::addColumn<QString>("language"); // the locale it runs in
    const QString english = u"C.UTF-8"_s;
    const QString chinese = u"zh_CN.UTF-8"_s;
    QTest::newRow("version") << QStringList{u"--version"_s} << 0 << u"vimaro 2.0\n"_s << english;
    QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"Usage: "_s << english;
    QTest::newRow("unknown option") << QStringList{u"--colour"_s} << 2 << u"vimaro: Unknown option 'colour'."_s
                                    << english;
    QTest::newRow("unknown command") << QStringList{u"play"_s} << 2 << u"vimaro: unknown command \"play\""_s << english;
    // Echoed as typed, it would retitle the terminal's window.
    QTest::newRow("unknown option of a command, escaped")
        << QStringList{u"import"_s, u"--\x1B]0;PWN\a"_s} << 2 << u"vimaro import: Unknown option '\\x1B]0;PWN\\x07'."_s
        << english;
    // Under a Chinese locale a person reads Chinese; the exit codes stay.
    QTest::newRow("help in Chinese") << QStringList{u"export"_s, u"--help"_s} << 0
                                     << u"用法：vimaro export [选项] FILE\n按目录"_s << chinese;
    QTest::newRow("unknown command in Chinese")
        << QStringList{u"play"_s} << 2 << u"vimaro: 未知的命令“play”；vimaro --help 列出所有命令。"_s << chinese;
}

void TestProgram::commandLine_answersWithExitCodesScriptsRelyOn() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, language);
    locale = language;
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

// The program beside a catalogue of its own, as a portable copy runs: the import writes there and nowhere else.
void TestProgram::importEndedByALimitOrASignal_isRolledBackAndSaid_data() {
    QTest::addColumn<int>("signal"); // 0: the file grows past the limit on its size (ulimit -f) instead
    QTest::addColumn<QString>("said");
    QTest::newRow("past the file-size limit") << 0 << u"disk full"_s;
    QTest::newRow("terminated") << int(SIGTERM) << u"stopped"_s;
    QTest::newRow("hung up") << int(SIGHUP) << u"stopped"_s;
}

void TestProgram::importEndedByALimitOrASignal_isRolledBackAndSaid() {
    QFETCH(int, signal);
    QFETCH(QString, said);
    const QDir portable(runtime->path());
    const QString program = portable.filePath(u"vimaro"_s);
    if (::link(VIMARO_PROGRAM, QFile::encodeName(program).constData()) != 0)
        QVERIFY(QFile::copy(QStringLiteral(VIMARO_PROGRAM), program));
    const QString catalogue = portable.filePath(u"tv.mdb"_s);
    QVERIFY(QFile::copy(QFileInfo(QStringLiteral(VIMARO_PROGRAM)).dir().filePath(u"tv.mdb"_s), catalogue));
    QFile list(portable.filePath(u"many.m3u"_s));
    QVERIFY(list.open(QIODevice::WriteOnly));
    for (int n = 0; n < 200000; ++n)
        list.write("http://many.example/" + QByteArray::number(n) + '\n');
    list.close();
    const QByteArray before = [&] {
        QFile file(catalogue);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    const auto limitFileSize = [limit = rlim_t(before.size() + 200'000)] {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit size{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &size);
    };
    QProcess& import = start({u"import"_s, list.fileName()}, program,
                             signal == 0 ? std::function<void()>(limitFileSize) : std::function<void()>());
    if (signal != 0) {
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(catalogue + u"-journal"_s) || import.state() != QProcess::Running,
                                 20000);
        ::kill(static_cast<pid_t>(import.processId()), signal);
    }
    QVERIFY(import.waitForFinished(60000));

    QCOMPARE(import.exitStatus(), QProcess::NormalExit);
    QCOMPARE(import.exitCode(), 1);
    const QString errors = QString::fromUtf8(import.readAllStandardError());
    QVERIFY2(errors.contains(said), qPrintable(errors));
    QVERIFY(!QFile::exists(catalogue + u"-journal"_s));
    QFile after(catalogue);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"

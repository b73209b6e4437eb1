#include "desktop/Launch.h"

#include <QByteArray>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// What the watcher reports through its pipe.
constexpr int RunsOn = -1;
constexpr int NotStarted = 127; // the exit code of a child that could not run its program, as shells use it

// The arguments as the C strings execv() takes, made before fork(): between fork() and exec the child of a
// threaded program may only call async-signal-safe functions, so no allocation.
struct CArguments {
    std::vector<QByteArray> bytes;
    std::vector<char*> pointers;

    explicit CArguments(const QStringList& arguments) {
        for (const QString& argument : arguments)
            bytes.push_back(argument.toLocal8Bit());
        for (QByteArray& argument : bytes)
            pointers.push_back(argument.data());
        pointers.push_back(nullptr);
    }
};

// The player's process: a session of its own, no descriptor of the launcher's but the three standard ones, the
// signals as a freshly started program has them.
[[noreturn]] void runPlayer(const CArguments& program, const char* directory) {
    ::signal(SIGPIPE, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    ::close_range(3, ~0U, 0);
    if (*directory)
        (void)::chdir(directory);
    ::execv(program.pointers[0], program.pointers.data());
    ::_exit(NotStarted);
}

// The watcher between launcher and player: it starts the player, waits up to WatchedMs for it to end, writes
// what it saw and ends. A player still running is then nobody's child but init's, so the launcher may end.
[[noreturn]] void watchPlayer(const CArguments& program, const char* directory, int report) {
    ::setsid();
    const pid_t player = ::fork();
    if (player == 0)
        runPlayer(program, directory);
    int seen = player < 0 ? NotStarted : RunsOn;
    constexpr timespec step{0, 20'000'000};
    for (int waited = 0; player > 0 && waited < WatchedMs; waited += 20) {
        int status = 0;
        if (::waitpid(player, &status, WNOHANG) == player) {
            seen = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        ::nanosleep(&step, nullptr);
    }
    (void)::write(report, &seen, sizeof seen);
    ::_exit(0);
}

QString failureOf(int seen) {
    if (seen == NotStarted)
        return u"无法启动"_s;
    if (seen > 128)
        return u"被信号 %1 结束"_s.arg(seen - 128);
    return u"以错误代码 %1 结束"_s.arg(seen);
}

// Waits in the event loop for the watcher's report.
void awaitReport(int report, pid_t watcher, const Outcome& outcome) {
    auto* notifier = new QSocketNotifier(report, QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [=] {
        int seen = NotStarted;
        if (::read(report, &seen, sizeof seen) != sizeof seen)
            seen = NotStarted;
        ::close(report);
        ::waitpid(watcher, nullptr, 0);
        notifier->deleteLater();
        outcome(seen == RunsOn || seen == 0 ? std::nullopt : std::optional(failureOf(seen)));
    });
}

bool startWatched(const HandOff& handOff, const Outcome& outcome) {
    if (handOff.arguments.isEmpty() || ::access(handOff.arguments.first().toLocal8Bit().constData(), X_OK) != 0)
        return false;
    const CArguments program(handOff.arguments);
    const QByteArray directory = handOff.workingDirectory.toLocal8Bit();
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return false;
    const pid_t watcher = ::fork();
    if (watcher == 0)
        watchPlayer(program, directory.constData(), pipe[1]);
    ::close(pipe[1]);
    if (watcher < 0) {
        ::close(pipe[0]);
        return false;
    }
    awaitReport(pipe[0], watcher, outcome);
    return true;
}

} // namespace

Seam<bool(const HandOff&, Outcome)> launchSeam{startWatched};

bool launch(const HandOff& handOff, Outcome outcome) {
    return launchSeam(handOff, std::move(outcome));
}

// 网络电台 as a user waits for it, each figure beside a floor or a goal measured in the same run:
// - opening it, against opening the channel editor (each built afresh, shown and painted), and unfolding 订阅;
// - 1,000 stations of a search listed and painted once the answer is in, against the goal of 100 ms;
// - category clicks on the radio panel while the subscriptions' update writes a changed list of 100,000 entries
//   on its own thread: the longest click, against the goal of 100 ms, and the median beside the same click with
//   nothing else running; for a click that met the commit's lock, the time until the panel listed by itself.
// Offscreen, on the shipped catalogue, a web server on 127.0.0.1 serving the list.
//
//   bench_netradio [RUNS]
#include "windows/netradio/NetRadio.h"

#include "app/Registry.h"
#include "bench/Measure.h"
#include "desktop/ProgramDir.h"
#include "tests/support/WebServer.h"
#include "windows/panels/CategoryPanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void painted(QWidget& window) {
    QCoreApplication::processEvents();
    window.repaint();
}

Time opening(Registry& forms, FormName name, const std::function<void()>& open) {
    forms.unload(name);
    QCoreApplication::processEvents(); // the unloaded window goes
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return timed([&] {
        open();
        painted(forms.form(name));
    });
}

QByteArray bigList(int entries, const QByteArray& version) {
    QByteArray list = "#EXTM3U\n";
    list.reserve(entries * 80);
    for (int i = 0; i < entries; ++i)
        list += "#EXTINF:-1 tvg-id=\"s" + QByteArray::number(i) + "\" group-title=\"个性广播\",Bench " +
                QByteArray::number(i) + "\nhttp://bench.example/" + version + "/" + QByteArray::number(i) + "\n";
    return list;
}

std::vector<Directory::Station> manyStations(int count) {
    std::vector<Directory::Station> stations(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        Directory::Station& station = stations[static_cast<std::size_t>(i)];
        station.name = u"Station %1"_s.arg(i);
        station.address = u"http://s.example/%1"_s.arg(i);
        station.countryCode = u"CH"_s;
        station.codec = u"MP3"_s;
        station.bitrate = 128;
        station.votes = count - i;
    }
    return stations;
}

} // namespace

int main(int argc, char* argv[]) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(VIMARO_SEED_CATALOGUE), dir.filePath(u"tv.mdb"_s));
    QFile::copy(QStringLiteral(VIMARO_SEED_SETTINGS), dir.filePath(u"tvset.ini"_s));
    QFile::setPermissions(dir.filePath(u"tv.mdb"_s), QFile::ReadOwner | QFile::WriteOwner);
    setProgramDirForTesting(dir.path());
    Registry forms;
    forms.form(FormName::Form1).Show();
    painted(forms.form(FormName::Form1));

    std::vector<Time> editorRuns, windowRuns, unfoldRuns, resultRuns;
    for (int run = 0; run < runs; ++run) {
        editorRuns.push_back(opening(forms, FormName::add, [&] { forms.form(FormName::add).Show(); }));
        windowRuns.push_back(opening(forms, FormName::net, [&] { openNetRadio(forms); }));
        unfoldRuns.push_back(timed([&] {
            forms.get<net>(FormName::net).followHeading_Click();
            painted(forms.form(FormName::net));
        }));
    }
    net& window = forms.get<net>(FormName::net);
    for (int run = 0; run < runs; ++run) {
        std::vector<Directory::Station> found = manyStations(1000);
        resultRuns.push_back(timed([&] {
            window.showResults(std::move(found));
            painted(window);
        }));
    }
    std::printf("网络电台, median of %d runs, offscreen\n", runs);
    printHeading();
    print("open the channel editor (floor)", median(editorRuns));
    print("open 网络电台", median(windowRuns), ofTheFloor(median(windowRuns), median(editorRuns)));
    print("unfold 订阅 (built, the subscriptions read)", median(unfoldRuns));
    print("1,000 search results listed", median(resultRuns), u"goal < 100 ms"_s);

    // The update of a subscription of 100,000 entries, every address changed, while the radio panel is clicked.
    QByteArray served = bigList(100'000, "a");
    WebServer server(WebServer::files([&](const QByteArray&) { return std::optional(served); }));
    bool subscribed = false;
    forms.keeper().subscribe(server.address(u"/big.m3u"_s).toString(), std::nullopt,
                             [&](const SubscriptionKeeper::Outcome& outcome) {
                                 if (!outcome.report)
                                     qFatal("subscribing failed: %s", qPrintable(outcome.failure));
                                 subscribed = true;
                             });
    while (!subscribed)
        QTest::qWait(50);
    Form2& radio = forms.get<Form2>(FormName::Form2);
    radio.Show();
    Label& category = *radio.categoryLabels[0];
    const auto click = [&] {
        return timed([&] {
            QTest::mouseClick(&category, Qt::LeftButton);
            painted(radio);
        });
    };
    std::vector<Time> quiet;
    for (int run = 0; run < runs; ++run)
        quiet.push_back(click());
    served = bigList(100'000, "b");
    bool updated = false;
    std::vector<Time> busy;
    Time longest, longestListed;
    int locked = 0;
    const auto saysLocked = [&] { return radio.Label9.Caption().contains(u"占用"_s); };
    forms.keeper().updateNow(std::nullopt, [&](const SubscriptionKeeper::Outcomes&) { updated = true; });
    const Time whole = timed([&] {
        while (!updated) {
            const Time one = click();
            busy.push_back(one);
            if (one.wall > longest.wall)
                longest = one;
            if (saysLocked()) { // the panel lists the category by itself once the commit is over
                ++locked;
                Time listed = timed([&] { (void)QTest::qWaitFor([&] { return !saysLocked(); }, 15000); });
                listed.wall += one.wall;
                listed.processor += one.processor;
                if (listed.wall > longestListed.wall)
                    longestListed = listed;
            }
            QTest::qWait(20);
        }
    });
    std::printf("category clicks (国内广播) during an update of 100,000 entries (%.1f s, %zu clicks, %d met the "
                "commit's lock)\n",
                whole.wall / 1000, busy.size(), locked);
    print("click, nothing else running", median(quiet));
    print("click during the update, median", median(busy));
    print("click during the update, longest", longest, u"goal < 100 ms"_s);
    if (locked > 0)
        print("a click that met the lock, until listed", longestListed);
    return 0;
}

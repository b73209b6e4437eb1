#pragma once

#include "health/NameLookup.h"
#include "health/Verdict.h"

#include <QAbstractSocket>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <memory>

class Answer;
struct Judgement;

// Checks one station's address as a player would begin to play it, and stops there: it follows at most five
// redirects and the first entry of a playlist or manifest, reads only the first kilobytes of what answers and
// never plays. Of mms, rtsp and rtmp addresses it only asks whether the server's port answers. The whole check,
// name lookup included, keeps to one deadline, however slowly a server trickles or a name server answers; what a
// server sends is bounded in size, whatever it sends.
class StationCheck : public QObject {
    Q_OBJECT
public:
    StationCheck(QString address, std::chrono::milliseconds timeout, NameLookup::Resolver resolver = NameLookup::system,
                 QObject* parent = nullptr);
    ~StationCheck() override;

    // The finding arrives through finished(), or shortOfResources() tells that there is none, never before start()
    // has returned.
    void start();

Q_SIGNALS:
    void finished(const Finding& finding);
    // This process ran short of its own resources (open files, threads, memory) before it could ask the server:
    // nothing was found about the station.
    void shortOfResources(const QString& problem);

private:
    enum class Stage { Lookup, Connect, Handshake, Ask };

    void visit(const QUrl& address);
    void lookUp();
    void lookedUp(const NameLookup::Result& result);
    void connectNext();
    void connected();
    void ask();
    void readAnswer(bool closed);
    void socketFailed(QAbstractSocket::SocketError error);
    void settle(const Judgement& judgement);
    void redirect(const QUrl& target);
    void followEntry(const QUrl& entry, const QString& playlist);
    void plays(const QString& what);
    void report(Verdict verdict, QString detail);
    void finish(Verdict verdict, const QString& detail);
    void runShort(const QString& problem);
    // Ends the check once: stops its clock, forgets its lookup, drops its connection. False when it ended before.
    bool end();
    void dropConnection();
    QString timeoutDetail() const;

    QString address_;
    std::chrono::milliseconds timeout_;
    NameLookup::Resolver resolver_;
    QTimer deadline_;
    Stage stage_ = Stage::Lookup;
    std::unique_ptr<NameLookup::Pending> lookup_;
    QList<QHostAddress> addresses_; // of the current host, still to try
    QAbstractSocket* socket_ = nullptr;
    std::unique_ptr<Answer> answer_;
    QUrl current_;       // the address being asked now
    quint16 port_ = 0;   // its port
    bool tls_ = false;   // asked over TLS
    bool probe_ = false; // only asked whether its port answers
    QSet<QUrl> chain_;   // the addresses of the redirect chain so far, to tell a loop
    int redirects_ = 0;  // in the current chain
    QUrl landed_;        // where the last redirect led
    int entries_ = 0;    // playlist entries followed
    QString playlist_;   // "HLS playlist", once its entry is being checked
    bool done_ = false;
};

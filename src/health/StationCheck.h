#pragma once

#include "health/Content.h"
#include "health/Verdict.h"

#include <QAbstractSocket>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUrl>
#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;
class QTcpSocket;

// Checks one station's address as a player would begin to play it, and stops there: it follows at most five
// redirects and the first entry of a playlist or manifest, reads only the first kilobytes of what answers and
// never plays. Of mms, rtsp and rtmp addresses it only asks whether the server's port answers. The whole check
// keeps to one deadline, however slowly a server trickles.
class StationCheck : public QObject {
    Q_OBJECT
public:
    StationCheck(QNetworkAccessManager& network, QString address, std::chrono::milliseconds timeout,
                 QObject* parent = nullptr);
    ~StationCheck() override;

    // The finding arrives through finished(), never before start() has returned.
    void start();

Q_SIGNALS:
    void finished(const Finding& finding);

private:
    void visit(const QUrl& address);
    void fetch(const QUrl& address);
    void readHead();
    void readBody();
    void readEnd();
    void failedBeforeAnswer();
    void judgeBody(bool complete);
    void redirect(int status);
    void followEntry();
    void probeIcy();
    void readIcyHead();
    void judgeIcyHead();
    void probePort(const QUrl& address, quint16 port);
    void socketFailed(QAbstractSocket::SocketError error);
    void plays(const QString& what);
    void fail(Verdict verdict, QString detail);
    void finish(Verdict verdict, const QString& detail);
    void dropConnections();
    QString typeText() const;
    QString timeoutDetail() const;

    QNetworkAccessManager& network_;
    QString address_;
    std::chrono::milliseconds timeout_;
    QTimer deadline_;
    QNetworkReply* reply_ = nullptr;
    QTcpSocket* socket_ = nullptr;
    QUrl current_;      // the address being asked now
    QSet<QUrl> chain_;  // the addresses of the redirect chain so far, to tell a loop
    int redirects_ = 0; // in the current chain
    QUrl landed_;       // where the last redirect led
    int entries_ = 0;   // playlist entries followed
    QString playlist_;  // "HLS playlist", once its entry is being checked
    Content::Kind kind_ = Content::Kind::Unknown;
    QByteArray type_;       // the Content-Type of the answer
    QByteArray body_;       // its first bytes
    bool answered_ = false; // the head of an answer has arrived
    bool icy_ = false;      // reading the head over a bare connection
    bool done_ = false;
};

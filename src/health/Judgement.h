#pragma once

#include "health/Answer.h"
#include "health/Verdict.h"

#include <QUrl>

// What an answer says about a station as far as it has arrived: read on, a finding, or the next address to ask (a
// redirect's target, a playlist's first entry). The same bytes give the same judgement however they were split.
struct Judgement {
    enum class Step { ReadOn, Found, Redirect, Entry };
    Step step = Step::ReadOn;
    Finding finding{}; // Found; for a station that plays, what plays ("audio/mpeg")
    QUrl next;         // Redirect, Entry
    QString playlist;  // Entry: how the playlist is named ("HLS playlist")
};

// `address` is the address that was asked, and `entry` tells that it is a playlist's entry, which need only answer
// with data. An answer that takes no more bytes is never judged ReadOn.
Judgement judge(const Answer& answer, const QUrl& address, bool entry);

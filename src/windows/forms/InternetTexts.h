#pragma once

#include "health/HealthTable.h"
#include "internet/Download.h"
#include "internet/Subscriptions.h"
#include "playlists/Import.h"

#include <QColor>
#include <QDateTime>

// What the windows say, in the user's words, of downloads, imports, subscription updates and the check's findings.

// Why a download ended without a list, in a few words; the details stay in the server's.
QString whyNot(const Internet::FetchError& error);

// An import's counts in a sentence: added, present already, unreadable lines, and the categories no panel shows.
QString importSummary(const Playlists::ImportReport& report);

// An update's report in a line (Subscriptions::summary) with the stations named: those whose edits were kept and those
// that left the list.
QString updateDetails(const Subscriptions::Report& report);

// A station the last check found dead: its line is grey, its tooltip says the finding and how long ago
// ("上次检查：无法连接（3 天前）"); its text stays as it is.
QColor deadLineColour();
QString deadMark(const HealthTable::Entry& finding, const QDateTime& now = QDateTime::currentDateTimeUtc());

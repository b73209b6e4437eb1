#pragma once

#include <QString>

// What may go to the desktop's default handler, and what the user is told when it takes nothing.

// A station's address may be handed on when it is a URL with a web or streaming scheme (http, https, mms, rtsp,
// rtmp ...) and a host: never a local path, a file: address or anything else that could open a file or start a
// program. The one check for everything that plays a station or judges whether one will play.
bool isPlayable(const QString& address);

// ShellExecuteA's result: above 32 the handler took the address. Otherwise (no xdg-open, an address longer than
// the system lets a program be given, no handler at all) a box with the application title says that nothing was
// opened, and the answer is false.
bool handedOn(long shellResult, const QString& address);

// An address as a message box shows it: cut short after 100 characters, so that no address fills the screen.
QString addressForBox(const QString& address);

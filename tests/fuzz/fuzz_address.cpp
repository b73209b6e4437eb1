// The address check before the shell. Whatever it lets through must be what the desktop's handler is meant to get:
// a URL of a playable scheme with a host, never a local file, and handed on (percent-encoded, as Qt gives it to
// xdg-open) as one plain argument that cannot pass for an option or carry a blank or a control character.
//
// Input: the address (UTF-8).
#include "desktop/Shell.h"

#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what, const QString& address) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_address: %s: %s\n", what, qPrintable(address));
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString address = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!isPlayable(address))
        return 0;
    const QUrl url(address);
    check(!url.isLocalFile() && !url.host().isEmpty(), "a local file or no host", address);
    const QByteArray handedOn = url.toEncoded();
    check(handedOn.startsWith(url.scheme().toLatin1() + ':'), "the argument does not start with the scheme", address);
    check(std::all_of(handedOn.begin(), handedOn.end(), [](char c) { return c > ' ' && c < 0x7F; }),
          "a blank, control or non-ASCII character in the argument", address);
    const QUrl received = QUrl::fromEncoded(handedOn);
    check(received.scheme() == url.scheme() && received.host() == url.host(), "the handler would read another address",
          address);
    return 0;
}

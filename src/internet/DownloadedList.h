#pragma once

#include "internet/Download.h"
#include "playlists/Input.h"

#include <QTemporaryFile>
#include <functional>
#include <optional>

namespace Internet {

// How a caller downloads: the commands with a progress line and Ctrl+C, the windows on a thread of their own.
// Throws FetchError.
using Fetch = std::function<Answer(const Request&)>;

// A playlist downloaded into a temporary file as it arrived, so that a list as large as the limit is read from disk
// block by block as a file is, and memory stays the same whatever its size.
class DownloadedList {
public:
    DownloadedList(const Fetch& fetch, Request request, const QString& name);

    const Answer& answer() const { return answer_; }
    // The list from its first byte, each call anew.
    Playlists::InputBlocks& input();
    // SHA-256 of the list, in hex: what a subscription knows its last list by.
    QByteArray digest();

private:
    QTemporaryFile file_;
    QString name_;
    Answer answer_;
    std::optional<Playlists::InputBlocks> input_;
};

} // namespace Internet

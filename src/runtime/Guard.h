#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <utility>

// The event edge. Every handler that a control or a window runs goes through here, so that no handler needs a
// try/catch of its own: whatever it throws (a catalogue, settings-file or colour failure, any std::exception) is
// reported in one message box, "无法" + doing + "：" + its failureText(), with the application title, and the
// program runs on. Boxes shown meanwhile, that one included, belong to `window`, the window that asked.
void guarded(QWidget& window, const QString& doing, const std::function<void()>& handler);

// A handler of a control or window together with what it does, in the words of the box that reports its failure:
// {u"播放电台"_s, [this] { List1_Click(); }}. The control runs it through guarded().
template <typename... Args> class Handler {
public:
    Handler() = default;
    template <typename Run> Handler(QString doing, Run run) : doing_(std::move(doing)), run_(std::move(run)) {}

    explicit operator bool() const { return bool(run_); }

    void operator()(QWidget& control, Args... args) const {
        if (run_)
            guarded(*control.window(), doing_, [&] { run_(args...); });
    }

private:
    QString doing_;
    std::function<void(Args...)> run_;
};

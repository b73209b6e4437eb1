#pragma once

#include "windows/forms/Forms.h"
#include "windows/netradio/SubscriptionKeeper.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <optional>

// Owns the windows. A window is loaded at its first use and unloaded on request; when the last loaded
// window is unloaded the program has nothing left to show, and `allUnloaded` tells it to end.
class Registry : public QObject, public Forms {
    Q_OBJECT

public:
    // While the windows run, a write for which no backup can be made goes on, told once in a box: their user acts
    // on purpose.
    Registry();
    ~Registry() override;

    Form& form(FormName name) override;
    bool isLoaded(FormName name) const override;
    bool loadFailed(FormName name) const override;
    void unload(FormName name) override;
    void paint(FormName name, OleColor colour) override;
    bool isShown(FormName name) const override;

    // Another start of the program asked for the running one: the main window comes back from the task bar, and
    // it and every window it has open come to the front.
    void bringToFront();

    // Keeps the subscriptions up to date while the windows run.
    SubscriptionKeeper& keeper() { return keeper_; }

Q_SIGNALS:
    void unloaded(FormName name);
    void allUnloaded();

private:
    Form* create(FormName name);

    std::array<Form*, FormCount> loaded_{};
    // Windows loaded by a paint before they were built, with the colour they take when they are.
    std::array<std::optional<OleColor>, FormCount> awaited_{};
    std::array<bool, FormCount> loadFailed_{};
    // Unloaded windows are destroyed once the event that unloaded them is over, as it may be one of theirs.
    std::vector<QPointer<Form>> leaving_;
    SubscriptionKeeper keeper_;
};

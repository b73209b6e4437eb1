#pragma once

#include <functional>
#include <utility>

// One outside effect (a message box, the shell, the window system) reached through one replaceable function,
// so that a test can answer it or record it in one line and put the real one back in cleanup().
template <typename Signature> class Seam;

template <typename Result, typename... Args> class Seam<Result(Args...)> {
public:
    using Function = std::function<Result(Args...)>;

    explicit Seam(Function real) : real_(std::move(real)) {}

    Result operator()(Args... args) const { return (fake_ ? fake_ : real_)(std::forward<Args>(args)...); }

    void replace(Function fake) { fake_ = std::move(fake); }
    void restore() { fake_ = nullptr; }

private:
    Function real_;
    Function fake_;
};

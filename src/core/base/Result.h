#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace quarvo {

// The error half of a Result when a subsystem has no vocabulary of its own: a short text for the
// user or the log. Subsystems with several distinguishable failures use an enum of their own as E.
struct Error {
    std::string message;
};

// A value or an error, returned by every fallible operation of the core. Nothing in the core
// throws across a module boundary; callers test the result and decide whether to skip, ask or stop.
template <typename T, typename E = Error>
class [[nodiscard]] Result {
public:
    Result(T value) : m_storage(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : m_storage(std::in_place_index<1>, std::move(error)) {}

    static Result failure(E error) { return Result(std::move(error)); }

    bool ok() const { return m_storage.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() &
    {
        assert(ok());
        return std::get<0>(m_storage);
    }
    const T& value() const&
    {
        assert(ok());
        return std::get<0>(m_storage);
    }
    T&& value() &&
    {
        assert(ok());
        return std::get<0>(std::move(m_storage));
    }
    const E& error() const
    {
        assert(!ok());
        return std::get<1>(m_storage);
    }

    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

private:
    std::variant<T, E> m_storage;
};

// Success without a value.
struct Ok {};

} // namespace quarvo

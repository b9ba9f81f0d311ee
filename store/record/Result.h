#pragma once

#include "Error.h"

#include <QtGlobal>

#include <optional>
#include <utility>

// A value or the Error that kept it from being made: what every operation of the store, the
// GEDCOM library and the program that can fail returns. True when it holds the value.
//
//     Result<QList<PersonRecord>> rows = store.ReadTree(name);
//     if (!rows)
//         return rows.error();
//     for (const PersonRecord &row : *rows) ...
//
// Result<void> is the result of an operation that makes nothing: success, or the Error.
template <class T>
class [[nodiscard]] Result
{
public:
    Result(const T &value) : m_value(value) {}
    Result(T &&value) : m_value(std::move(value)) {}
    // A failure. An Error that is none stands for a failure of unknown cause.
    Result(Error error) : m_error(std::move(error))
    {
        if (!m_error)
            m_error = Error(ErrorCode::Failed, QStringLiteral("The operation failed."));
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    // The value; only when ok().
    T &value() &
    {
        Q_ASSERT(ok());
        return *m_value;
    }
    const T &value() const &
    {
        Q_ASSERT(ok());
        return *m_value;
    }
    // From a temporary Result the value is moved out, so that it outlives the Result (as in
    // `for (const auto &row : store.ReadTree(name).value())`).
    T value() &&
    {
        Q_ASSERT(ok());
        return std::move(*m_value);
    }
    T &operator*() & { return value(); }
    const T &operator*() const & { return value(); }
    T operator*() && { return std::move(*this).value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }
    // The value, or `fallback` after a failure.
    T valueOr(T fallback) const & { return ok() ? *m_value : std::move(fallback); }

    // Why there is no value; no error when ok().
    const Error &error() const { return m_error; }

private:
    std::optional<T> m_value;
    Error m_error;
};

template <>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error; }
    explicit operator bool() const { return ok(); }
    const Error &error() const { return m_error; }

private:
    Error m_error;
};

#pragma once

#include "common/problem.h"

#include <optional>
#include <utility>
#include <variant>

namespace orvelle {

// A value, or the problem that kept it from being made.
template <class T> class [[nodiscard]] Expected {
public:
  Expected(T value) : m_held(std::move(value)) {}
  Expected(Problem problem) : m_held(std::move(problem)) {}

  bool ok() const { return std::holds_alternative<T>(m_held); }
  explicit operator bool() const { return ok(); }
  const T &value() const & { return std::get<T>(m_held); }
  T &value() & { return std::get<T>(m_held); }
  T &&value() && { return std::get<T>(std::move(m_held)); }
  const T &operator*() const & { return value(); }
  const T *operator->() const { return &value(); }
  const Problem &problem() const { return std::get<Problem>(m_held); }

private:
  std::variant<T, Problem> m_held;
};

// Done, or the problem.
template <> class [[nodiscard]] Expected<void> {
public:
  Expected() = default;
  Expected(Problem problem) : m_problem(std::move(problem)) {}

  bool ok() const { return !m_problem.has_value(); }
  explicit operator bool() const { return ok(); }
  const Problem &problem() const { return *m_problem; }

private:
  std::optional<Problem> m_problem;
};

} // namespace orvelle

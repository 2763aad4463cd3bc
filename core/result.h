#pragma once

#include <QString>

namespace orvelle {

// What an operation did: done or not, and what the user is to be told (a
// failure's reason, or a warning that goes with a done operation).
struct Result {
  bool done = true;
  QString message;

  static Result Done(QString warning = QString()) { return {true, std::move(warning)}; }
  static Result Failed(QString reason) { return {false, std::move(reason)}; }
  // Done when there is no problem; else failed with it.
  static Result Unless(QString problem) { return {problem.isEmpty(), std::move(problem)}; }
};

} // namespace orvelle

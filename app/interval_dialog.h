#pragma once

#include <optional>

class QWidget;

namespace orvelle {

struct IntervalChoice {
  int seconds = 5;
  bool onlyChanged = true;
};

// The dialog "定期トリム": the interval in seconds (1 to 3600, starting at the
// last one, focused) and "変化があったときだけ保存" (checked). Return starts,
// Escape cancels (nothing then).
std::optional<IntervalChoice> AskInterval(QWidget *owner, int seconds);

} // namespace orvelle

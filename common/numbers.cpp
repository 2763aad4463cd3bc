#include "common/numbers.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>

namespace orvelle {

double RoundHalfEven(double value) {
  // std::nearbyint follows the current rounding mode, which is round-to-nearest
  // (ties to even) unless someone changed it; do not rely on that.
  const double floor = std::floor(value);
  const double diff = value - floor;
  if (diff < 0.5) {
    return floor;
  }
  if (diff > 0.5) {
    return floor + 1.0;
  }
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

QChar DecimalSeparator() {
  // The C library's formatting follows the locale the program runs in, which
  // is the form SingleText writes.
  const char *point = std::localeconv()->decimal_point;
  return point != nullptr && point[0] != '\0' && point[1] == '\0' ? QLatin1Char(point[0]) : QLatin1Char('.');
}

std::optional<double> ParseDecimal(QStringView text) {
  QString trimmed = text.trimmed().toString();
  trimmed.replace(DecimalSeparator(), QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.')); // two: no number
  const QByteArray ascii = trimmed.toLatin1();
  if (trimmed.isEmpty() || ascii.size() != trimmed.size()) {
    return std::nullopt;
  }
  const char *p = ascii.constData();
  const char *const end = p + ascii.size();
  auto digits = [&p, end] {
    const char *start = p;
    while (p < end && *p >= '0' && *p <= '9') {
      ++p;
    }
    return p - start;
  };
  if (p < end && (*p == '+' || *p == '-')) {
    ++p;
  }
  auto whole = digits();
  decltype(whole) fraction = 0;
  if (p < end && *p == '.') {
    ++p;
    fraction = digits();
  }
  if (whole + fraction == 0) {
    return std::nullopt;
  }
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    if (p < end && (*p == '+' || *p == '-')) {
      ++p;
    }
    if (digits() == 0) {
      return std::nullopt;
    }
  }
  if (p != end) {
    return std::nullopt;
  }
  bool ok = false;
  const double value = trimmed.toDouble(&ok);
  if (!ok || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<float> ToSingle(double value) {
  if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
    return std::nullopt;
  }
  return static_cast<float>(value);
}

namespace {
template <typename Int> std::optional<Int> RoundedInto(double value) {
  if (!std::isfinite(value)) {
    return std::nullopt;
  }
  const double rounded = RoundHalfEven(value);
  if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::nullopt;
  }
  return static_cast<Int>(rounded);
}
} // namespace

std::optional<std::int16_t> ToInt16(double value) { return RoundedInto<std::int16_t>(value); }
std::optional<std::int32_t> ToInt32(double value) { return RoundedInto<std::int32_t>(value); }

QString SingleText(float value) {
  if (value == 0.0f) {
    return QStringLiteral("0"); // also for -0
  }
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.7G", static_cast<double>(value));
  QString text = QString::fromLatin1(buffer);
  // %G already drops trailing zeros; keep the mantissa tidy in every case and
  // leave an exponent (E+08, E-05) as it is.
  const qsizetype e = text.indexOf(QLatin1Char('E'));
  QString mantissa = e < 0 ? text : text.left(e);
  const QString exponent = e < 0 ? QString() : text.mid(e);
  if (mantissa.contains(QLatin1Char('.'))) {
    while (mantissa.endsWith(QLatin1Char('0'))) {
      mantissa.chop(1);
    }
    if (mantissa.endsWith(QLatin1Char('.'))) {
      mantissa.chop(1);
    }
  }
  return mantissa + exponent;
}

QString IntegerText(long long value) { return QString::number(value); }

} // namespace orvelle

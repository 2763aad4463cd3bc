#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

// Number conversions and the plain decimal text form shared by the labels, the
// ratio box and trim.ini: no digit grouping, no trailing zeros, no decimal point
// for whole values, a leading minus sign, at most seven significant digits for
// single-precision floats.

namespace orvelle {

// Nearest integer, halves to the even neighbour (12.5 -> 12, 13.5 -> 14).
double RoundHalfEven(double value);

// The decimal separator of the user's locale, the one the number texts are
// written with: "." under the Japanese locale, "," under a German one.
QChar DecimalSeparator();

// A decimal number as typed: blanks around it, an optional sign, digits with an
// optional fraction and an optional exponent. The fraction follows a period, a
// comma or the locale's decimal separator, in every locale, so that texts
// written under any locale (trim.ini's PicRatio=0,75 under a German one) read
// back everywhere; digit grouping and anything else give nothing.
std::optional<double> ParseDecimal(QStringView text);

// The value as a finite single-precision float, or nothing when it overflows.
std::optional<float> ToSingle(double value);

// The value rounded halves to even, when the result fits the integer type.
std::optional<std::int16_t> ToInt16(double value);
std::optional<std::int32_t> ToInt32(double value);

// "120", "120.5", "0.75", "1.333333", "-50", "1.234568E+08".
QString SingleText(float value);
QString IntegerText(long long value);

} // namespace orvelle

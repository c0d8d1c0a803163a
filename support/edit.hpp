// Numeric field editing of formatted records: Iw, Fw.d, Ew.d and 1P,Dw.d.
//
// Every editor writes exactly w characters, right-justified. Rounding is from
// the exact binary value of the double to the nearest decimal, ties to even
// (the C library's printf does exactly this). A minus sign appears only for a
// value below zero, so -0.0 edits as zero. A value that does not fit fills the
// field with asterisks. Non-finite values edit as "Infinity", "-Infinity" or
// "NaN", shortened to "Inf"/"-Inf" in a narrow field.
//
// The put_* forms write into a caller's buffer and never allocate (the library
// composes its message lines with them); the string forms serve the dialogue
// and the report.
#pragma once

#include <span>
#include <string>

namespace triex {

// Widths and decimals accepted by the editors; no record of this program needs more.
inline constexpr int kMaxFieldWidth = 100;
inline constexpr int kMaxDecimals = 40;

// Iw: the integer, with a minus sign when negative.
void put_I(std::span<char> field, long long value);
// Fw.d: d decimals, "0." before the point below 1.
void put_F(std::span<char> field, int d, double value);
// Ew.d: "0.", d significant digits, "E+xx" (or "+xxx" for three-digit exponents).
void put_E(std::span<char> field, int d, double value);
// 1P,Dw.d: one non-zero digit before the point, d after, "D+xx" (or "+xxx").
void put_1PD(std::span<char> field, int d, double value);

std::string edit_I(long long value, int w);
std::string edit_F(double value, int w, int d);
std::string edit_E(double value, int w, int d);
std::string edit_1PD(double value, int w, int d);

}  // namespace triex

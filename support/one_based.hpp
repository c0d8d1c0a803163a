// Element i, counted from 1, of the library's arrays and workspace sections:
// the routines index from 1 as their algorithms are written, and every access is checked in
// builds with assertions.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <span>

namespace triex {

template <class T, std::size_t Extent>
constexpr T& at(std::span<T, Extent> list, int i) {
  assert(i >= 1 && static_cast<std::size_t>(i) <= list.size());
  return list[static_cast<std::size_t>(i - 1)];
}

template <class T, std::size_t N>
constexpr T& at(std::array<T, N>& table, int i) {
  assert(i >= 1 && static_cast<std::size_t>(i) <= N);
  return table[static_cast<std::size_t>(i - 1)];
}

template <class T, std::size_t N>
constexpr const T& at(const std::array<T, N>& table, int i) {
  assert(i >= 1 && static_cast<std::size_t>(i) <= N);
  return table[static_cast<std::size_t>(i - 1)];
}

}  // namespace triex

// The two kinds of output record of the dialogue and the report.
//
// A list-directed record is one blank followed by the statement's text items
// with nothing between them; a statement without items writes an empty line.
// A formatted record is exactly the literals and numeric fields of its format.
#pragma once

#include <initializer_list>
#include <ostream>
#include <string_view>

namespace triex {

inline void list_record(std::ostream& out, std::initializer_list<std::string_view> items) {
  out << ' ';
  for (std::string_view item : items) out << item;
  out << '\n';
}

inline void empty_record(std::ostream& out) { out << '\n'; }

inline void formatted_record(std::ostream& out, std::initializer_list<std::string_view> pieces) {
  for (std::string_view piece : pieces) out << piece;
  out << '\n';
}

}  // namespace triex

// The answers reader: list-directed input from the terminal or a script.
//
// One read takes a fixed list of items. Items are separated by blanks (a tab
// or a carriage return counts as a blank), by a comma with optional blanks
// around it, or by line ends; a read goes on over further lines, blank lines
// included, until every item has a value, and whatever follows the last item
// on its line is dropped, so the next read starts on a fresh line. Two commas
// in a row leave an item without a value (a null value); a slash ends the read
// and leaves every remaining item without a value. "r*c" stands for r copies
// of c, "r*" for r null values.
//
// Numbers: integer, fixed-point or exponent form; the exponent letter is E, e,
// D or d, or missing before a signed exponent (1.5+3, 2.0-4). An INTEGER item
// takes an integer only. A number beyond the range of a double is refused; one
// below it is taken as the nearest double.
//
// Text: up to the first blank, comma, slash or line end, or enclosed in
// apostrophes or quotation marks (a doubled quote inside stands for one, and
// the text may go on over line ends); then padded or cut to 80 characters.
//
// A UTF-8 byte-order mark at the very start of the input is skipped.
//
// What a read drops is looked at on the way: a line that held values the read
// did not take (items after its last value, or copies of a repeat count
// beyond those needed) is reported, so that the dialogue can say that an
// answer such as "66,400" was read as 66. Blanks, commas and a comment after
// a slash are not values.
//
// The reader works in constant memory whatever the input: it keeps at most 80
// characters of a text, a bounded number of significant digits of a number and
// a short excerpt of the answer for messages.
#pragma once

#include <istream>
#include <span>
#include <string>

namespace triex {

inline constexpr std::size_t kTextLength = 80;

// Why a read could not give every item a value.
struct AnswerProblem {
  std::string what;  // e.g. "\"abc\" is not a number", "end of input"
};

class AnswerReader {
 public:
  explicit AnswerReader(std::istream& in);

  // Each returns false and sets problem() when the answer cannot be used.
  bool read_text(std::string& value);  // value: 80 characters; blank when left without a value
  bool read_integer(int& value);
  bool read_reals(std::span<double> values);

  // The closing answer: drops one line, whatever it holds; an empty line or
  // the end of the input is enough.
  void skip_line();

  const AnswerProblem& problem() const { return problem_; }
  // After a read that succeeded: its line held values it did not take.
  bool left_values_unread() const { return left_values_unread_; }

 private:
  struct Item;
  enum class Kind { Text, Integer, Real };

  bool read(std::span<Item> items, Kind kind);
  bool next_value(Item& item, Kind kind);
  bool scan_token(Item& item, Kind kind, int first);
  bool scan_quoted(Item& item, int quote);
  bool finish_read();

  int peek();
  int get();
  void skip_byte_order_mark();

  std::streambuf* in_;
  bool mark_checked_ = false;
  char held_[2] = {};  // the start of a byte-order mark that did not complete
  int held_count_ = 0;
  int held_next_ = 0;
  bool at_line_start_ = true;
  bool after_value_ = false;  // a value was read and its comma (if any) not yet seen
  bool slash_seen_ = false;
  long long repeat_left_ = 0;  // further copies of the last value (or null) still to hand out
  bool left_values_unread_ = false;
  AnswerProblem problem_;
};

}  // namespace triex

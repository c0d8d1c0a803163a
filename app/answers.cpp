#include "app/answers.hpp"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string_view>

#include "support/refusal.hpp"
#include "support/safe_text.hpp"

namespace triex {
namespace {

constexpr int kEnd = std::char_traits<char>::eof();

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\r'; }
bool ends_token(int c) { return c == kEnd || is_blank(c) || c == ',' || c == '/' || c == '\n'; }
bool is_digit(int c) { return c >= '0' && c <= '9'; }

// The first bytes of an answer, kept for a message, which quotes them as
// every front end quotes a text (quoted_excerpt).
class Excerpt {
 public:
  void add(int c) {
    if (length_ < kExcerptBytes) text_[length_] = static_cast<char>(c);
    ++length_;
  }
  std::string quoted() const {
    return quoted_excerpt(std::string_view(text_, std::min(length_, kExcerptBytes)), length_);
  }

 private:
  char text_[kExcerptBytes] = {};
  std::size_t length_ = 0;
};

// Recognises a number one character at a time and keeps what is needed to
// convert it exactly: up to kKeptDigits significant digits, whether any
// non-zero digit was dropped beyond them, and the decimal exponent.
class NumberScanner {
 public:
  void feed(int c) {
    switch (state_) {
      case State::Start:
        if (c == '+' || c == '-') {
          negative_ = c == '-';
          signed_ = true;
          state_ = State::Sign;
          return;
        }
        [[fallthrough]];
      case State::Sign:
      case State::IntDigits:
        if (is_digit(c)) return integer_digit(c);
        if (c == '.') {
          state_ = State::Point;
          return;
        }
        return exponent_start(c);
      case State::Point:
      case State::FracDigits:
        if (is_digit(c)) return fraction_digit(c);
        return exponent_start(c);
      case State::ExpLetter:
        if (c == '+' || c == '-') {
          exp_negative_ = c == '-';
          state_ = State::ExpSign;
          return;
        }
        [[fallthrough]];
      case State::ExpSign:
      case State::ExpDigits:
        if (!is_digit(c)) break;
        if (exponent_ < 1'000'000'000) exponent_ = exponent_ * 10 + (c - '0');  // saturates far out of range
        state_ = State::ExpDigits;
        return;
      case State::Bad:
        return;
    }
    state_ = State::Bad;
  }

  // True when only an unsigned string of digits has been seen (a repeat count).
  bool only_digits() const { return state_ == State::IntDigits && !signed_; }

  bool is_integer() const { return state_ == State::IntDigits; }
  bool is_real() const {
    return mantissa_digits_ > 0 &&
           (state_ == State::IntDigits || state_ == State::Point || state_ == State::FracDigits ||
            state_ == State::ExpDigits);
  }

  // The integer value, when it is one and fits in 32 bits.
  bool integer_value(int& value) const {
    if (!is_integer() || kept_ > 10 || dropped_) return false;
    long long v = 0;
    for (int i = 0; i < kept_; ++i) v = v * 10 + (digits_[i] - '0');
    if (negative_) v = -v;
    if (v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
  }

  // The real value rounded to the nearest double; false when it overflows.
  bool real_value(double& value) const {
    if (kept_ == 0) {
      value = negative_ ? -0.0 : 0.0;
      return true;
    }
    // digits (plus one sticky digit standing for all the dropped ones) and an exponent
    char text[kKeptDigits + 40];
    int n = 0;
    if (negative_) text[n++] = '-';
    for (int i = 0; i < kept_; ++i) text[n++] = digits_[i];
    long long scale = scale_;
    if (dropped_nonzero_) {
      // Any digit this far down decides only the side of a rounding tie, never more.
      text[n++] = '1';
      --scale;
    }
    const long long exponent = scale + (exp_negative_ ? -exponent_ : exponent_);
    std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), "e%lld", exponent);
    errno = 0;
    value = std::strtod(text, nullptr);
    return !std::isinf(value);  // underflow gives the nearest double, zero included
  }

 private:
  // 768 significant digits decide the rounding of any decimal to double exactly.
  static constexpr int kKeptDigits = 800;
  enum class State { Start, Sign, IntDigits, Point, FracDigits, ExpLetter, ExpSign, ExpDigits, Bad };

  void integer_digit(int c) {
    state_ = State::IntDigits;
    ++mantissa_digits_;
    if (kept_ == 0 && c == '0') return;  // leading zero
    if (kept_ < kKeptDigits) {
      digits_[kept_++] = static_cast<char>(c);
    } else {
      ++scale_;
      dropped_ = true;
      dropped_nonzero_ |= c != '0';
    }
  }
  void fraction_digit(int c) {
    state_ = State::FracDigits;
    ++mantissa_digits_;
    if (kept_ == 0 && c == '0') {
      --scale_;
      return;
    }
    if (kept_ < kKeptDigits) {
      digits_[kept_++] = static_cast<char>(c);
      --scale_;
    } else {
      dropped_ = true;
      dropped_nonzero_ |= c != '0';
    }
  }
  void exponent_start(int c) {
    if (mantissa_digits_ == 0) {
      state_ = State::Bad;
    } else if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
      state_ = State::ExpLetter;
    } else if (c == '+' || c == '-') {
      exp_negative_ = c == '-';
      state_ = State::ExpSign;
    } else {
      state_ = State::Bad;
    }
  }

  State state_ = State::Start;
  bool negative_ = false;
  bool signed_ = false;
  int mantissa_digits_ = 0;
  char digits_[kKeptDigits] = {};
  int kept_ = 0;
  bool dropped_ = false;
  bool dropped_nonzero_ = false;
  long long scale_ = 0;  // value = digits x 10^(scale + exponent)
  bool exp_negative_ = false;
  long long exponent_ = 0;
};

}  // namespace

// One item of a read: its value, or none (a null value, or left out by a slash).
struct AnswerReader::Item {
  bool has_value = false;
  std::string text;  // Text items
  int integer = 0;   // Integer items
  double real = 0;   // Real items
};

AnswerReader::AnswerReader(std::istream& in) : in_(in.rdbuf()) {}

// A UTF-8 byte-order mark that an editor put at the very start of the input
// is not part of the first answer. Checked at the first look at the input (not
// when the reader is made, which would wait for input before the first prompt).
// When the first bytes only begin like a mark, they are held and handed out first.
void AnswerReader::skip_byte_order_mark() {
  mark_checked_ = true;
  if (in_ == nullptr) return;
  const int matched = triex::skip_byte_order_mark(*in_);
  if (matched == static_cast<int>(std::size(kByteOrderMark))) return;  // the whole mark: dropped
  for (held_count_ = 0; held_count_ < matched; ++held_count_) held_[held_count_] = static_cast<char>(kByteOrderMark[held_count_]);
}

int AnswerReader::peek() {
  if (!mark_checked_) skip_byte_order_mark();
  if (held_next_ < held_count_) return static_cast<unsigned char>(held_[held_next_]);
  return in_ != nullptr ? in_->sgetc() : kEnd;
}

int AnswerReader::get() {
  if (!mark_checked_) skip_byte_order_mark();
  int c;
  if (held_next_ < held_count_) {
    c = static_cast<unsigned char>(held_[held_next_++]);
  } else {
    c = in_ != nullptr ? in_->sbumpc() : kEnd;
  }
  if (c != kEnd) at_line_start_ = c == '\n';
  return c;
}

bool AnswerReader::read_text(std::string& value) {
  Item item;
  if (!read(std::span<Item>(&item, 1), Kind::Text)) return false;
  value = item.has_value ? item.text : std::string();
  value.resize(kTextLength, ' ');
  return true;
}

bool AnswerReader::read_integer(int& value) {
  Item item;
  if (!read(std::span<Item>(&item, 1), Kind::Integer)) return false;
  value = item.integer;
  return true;
}

bool AnswerReader::read_reals(std::span<double> values) {
  Item items[8];
  if (values.size() > std::size(items)) return false;
  const std::span<Item> list(items, values.size());
  if (!read(list, Kind::Real)) return false;
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = list[i].real;
  return true;
}

bool AnswerReader::read(std::span<Item> items, Kind kind) {
  after_value_ = false;
  slash_seen_ = false;
  repeat_left_ = 0;
  left_values_unread_ = false;
  Item repeated;
  bool ok = true;
  for (Item& item : items) {
    if (repeat_left_ > 0) {
      --repeat_left_;
      item = repeated;
    } else if (slash_seen_) {
      item.has_value = false;
    } else {
      ok = next_value(item, kind);
      if (!ok) break;
      repeated = item;
    }
    if (!item.has_value && kind != Kind::Text) {
      problem_.what = "no value was given";
      ok = false;
      break;
    }
  }
  const bool dropped_value = finish_read();
  // After a slash that ended the read, the rest of the line is a comment.
  left_values_unread_ = ok && (repeat_left_ > 0 || (dropped_value && !slash_seen_));
  return ok;
}

// Drops the rest of the line, so that the next read starts on a fresh one.
// True when what was dropped holds a value: anything but blanks and commas
// before a slash, which begins a comment.
bool AnswerReader::finish_read() {
  bool value_seen = false;
  bool comment = false;
  while (!at_line_start_) {
    const int c = get();
    if (c == kEnd) break;
    if (c == '/') {
      comment = true;
    } else if (!comment && !is_blank(c) && c != ',' && c != '\n') {
      value_seen = true;
    }
  }
  return value_seen;
}

void AnswerReader::skip_line() {
  for (int c = get(); c != '\n' && c != kEnd; c = get()) {
  }
}

bool AnswerReader::next_value(Item& item, Kind kind) {
  for (;;) {
    const int c = peek();
    if (c == kEnd) {
      problem_.what = "end of input";
      return false;
    }
    if (is_blank(c) || c == '\n') {
      get();
      continue;
    }
    if (c == ',') {
      get();
      if (after_value_) {  // the comma that ends the previous value
        after_value_ = false;
        continue;
      }
      item.has_value = false;  // two commas: a null value
      return true;
    }
    if (c == '/') {
      get();
      slash_seen_ = true;
      item.has_value = false;
      return true;
    }
    get();
    after_value_ = true;
    return scan_token(item, kind, c);
  }
}

bool AnswerReader::scan_token(Item& item, Kind kind, int first) {
  Excerpt excerpt;
  NumberScanner number;
  std::string text;
  bool repeat_seen = false;
  int c = first;
  for (;;) {
    if (kind == Kind::Text && (c == '\'' || c == '"') && text.empty() && !number.only_digits()) {
      if (!scan_quoted(item, c)) return false;
      return true;
    }
    excerpt.add(c);
    if (c == '*' && !repeat_seen && number.only_digits()) {
      // "r*c": r copies of the value c, or r null values when c is empty.
      int r = 0;
      if (!number.integer_value(r) || r < 1) {
        while (!ends_token(peek())) excerpt.add(get());
        problem_.what = excerpt.quoted() + " has a bad repeat count";
        return false;
      }
      repeat_seen = true;
      repeat_left_ = r - 1;
      number = NumberScanner();
      text.clear();
      if (ends_token(peek())) {
        item.has_value = false;
        return true;
      }
      c = get();
      continue;
    }
    number.feed(c);
    if (kind == Kind::Text && text.size() < kTextLength) text.push_back(static_cast<char>(c));
    if (ends_token(peek())) break;
    c = get();
  }

  item.has_value = true;
  switch (kind) {
    case Kind::Text:
      item.text = text;
      return true;
    case Kind::Integer:
      if (number.integer_value(item.integer)) return true;
      problem_.what = excerpt.quoted() + (number.is_integer() ? " is out of range" : " is not an integer");
      return false;
    case Kind::Real:
      if (number.is_real() && number.real_value(item.real)) return true;
      // A number beyond the range of a double is refused in the commands' words.
      problem_.what = excerpt.quoted() + " " + std::string(number.is_real() ? kBeyondDouble : kNotANumber);
      return false;
  }
  return false;
}

// A quoted text: up to the matching quote; a doubled quote stands for one, and
// line ends inside the quotes are skipped.
bool AnswerReader::scan_quoted(Item& item, int quote) {
  std::string text;
  for (;;) {
    const int c = get();
    if (c == kEnd) {
      problem_.what = "end of input inside a quoted text";
      return false;
    }
    if (c == '\n') continue;
    if (c == quote) {
      if (peek() != quote) break;
      get();
    }
    if (text.size() < kTextLength) text.push_back(static_cast<char>(c));
  }
  item.has_value = true;
  item.text = text;
  return true;
}

}  // namespace triex

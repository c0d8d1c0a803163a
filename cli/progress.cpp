#include "cli/progress.hpp"

#include <algorithm>

namespace triex::cli {
namespace {

constexpr auto kQuietTime = std::chrono::seconds(1);             // before the first line
constexpr auto kRefreshTime = std::chrono::milliseconds(200);    // between two lines

// Swaps the stream's buffer, keeping its state (rdbuf() would clear a failure).
void swap_buffer(std::ostream& stream, std::streambuf* buffer) {
  const std::ios::iostate state = stream.rdstate();
  stream.rdbuf(buffer);
  stream.clear(state);
}

}  // namespace

Progress::Progress(std::ostream& err, bool terminal, std::string label, std::size_t total, Now now)
    : err_(err),
      terminal_(terminal),
      label_(std::move(label)),
      total_(total),
      now_(now),
      start_(now_()),
      last_(start_),
      guard_(*this, err.rdbuf()) {
  if (terminal_) swap_buffer(err_, &guard_);
}

Progress::~Progress() {
  clear();
  if (terminal_) swap_buffer(err_, guard_.target());
}

// Straight to the stream's own buffer: the progress line must not erase
// itself. A short write marks the stream failed, as writing through it would.
void Progress::write_through(const std::string& text) {
  if (guard_.target()->sputn(text.data(), static_cast<std::streamsize>(text.size())) !=
      static_cast<std::streamsize>(text.size()))
    err_.setstate(std::ios::badbit);
}

void Progress::erase() {
  if (width_ == 0) return;
  write_through('\r' + std::string(width_, ' ') + '\r');
  width_ = 0;
}

void Progress::clear() {
  if (width_ == 0) return;
  erase();
  err_.flush();
}

Progress::EraseBeforeWriting::int_type Progress::EraseBeforeWriting::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  owner_.erase();
  return target_->sputc(traits_type::to_char_type(c));
}

std::streamsize Progress::EraseBeforeWriting::xsputn(const char* s, std::streamsize n) {
  if (n > 0) owner_.erase();
  return target_->sputn(s, n);
}

int Progress::EraseBeforeWriting::sync() { return target_->pubsync(); }

void Progress::update(std::size_t done) {
  if (!terminal_) return;
  const auto now = now_();
  if (now - start_ < kQuietTime || now - last_ < kRefreshTime) return;
  last_ = now;
  std::string line = "triex " + label_ + ": ";
  if (total_ > 0) {
    constexpr std::size_t kBar = 30;
    const std::size_t filled = done * kBar / total_;
    line += '[' + std::string(filled, '#') + std::string(kBar - filled, '.') + "] " +
            std::to_string(done * 100 / total_) + "% (" + std::to_string(done) + " of " + std::to_string(total_) + ")";
  } else {
    line += std::to_string(done) + " rows";
  }
  const std::size_t shown = line.size();
  if (shown < width_) line += std::string(width_ - shown, ' ');
  width_ = std::max(width_, shown);
  write_through('\r' + line);
  err_.flush();
}

}  // namespace triex::cli

#include "cli/progress.hpp"

namespace triex::cli {
namespace {

constexpr auto kQuietTime = std::chrono::seconds(1);             // before the first line
constexpr auto kRefreshTime = std::chrono::milliseconds(200);    // between two lines

}  // namespace

Progress::Progress(std::ostream& err, bool terminal, std::string label, std::size_t total)
    : err_(err), terminal_(terminal), label_(std::move(label)), total_(total), start_(Clock::now()), last_(start_) {}

Progress::~Progress() { clear(); }

void Progress::clear() {
  if (width_ == 0) return;
  err_ << '\r' << std::string(width_, ' ') << '\r';
  err_.flush();
  width_ = 0;
}

void Progress::update(std::size_t done) {
  if (!terminal_) return;
  const auto now = Clock::now();
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
  err_ << '\r' << line;
  err_.flush();
}

}  // namespace triex::cli

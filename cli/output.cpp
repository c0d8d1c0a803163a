#include "cli/output.hpp"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <set>

#include "support/write_all.hpp"


namespace triex::cli {
namespace {

// Blocks of this size go to the sink while rows are added.
constexpr std::size_t kBlock = 1 << 16;

// A run ended by a signal (Ctrl-C, a kill, a closed terminal) must not leave
// the temporary file behind either: while one exists, these signals remove it
// and then end the process as they would have. One temporary file at a time.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
char pending_temporary[4096];
volatile std::sig_atomic_t temporary_pending = 0;
struct sigaction previous_actions[std::size(kEndingSignals)];

extern "C" void remove_temporary_and_end(int signal_number) {
  if (temporary_pending) ::unlink(pending_temporary);
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

void remove_on_signal(const std::string& temporary) {
  if (temporary.size() >= sizeof pending_temporary || temporary_pending) return;
  std::memcpy(pending_temporary, temporary.c_str(), temporary.size() + 1);
  temporary_pending = 1;
  struct sigaction action {};
  action.sa_handler = remove_temporary_and_end;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
    ::sigaction(kEndingSignals[i], &action, &previous_actions[i]);
}

void keep_on_signal() {
  if (!temporary_pending) return;
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
    ::sigaction(kEndingSignals[i], &previous_actions[i], nullptr);
  temporary_pending = 0;
}

}  // namespace

bool DescriptorSink::write(std::string_view bytes) {
  if (error() != 0) return false;
  int error_number = 0;
  if (write_all(fd_, bytes, error_number)) return true;
  fail(error_number);
  return false;
}

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {
  struct stat target;
  if (::stat(path_.c_str(), &target) == 0 && !S_ISREG(target.st_mode)) {
    // A device, a pipe or a terminal (-o /dev/stdout) cannot be replaced: it is written in place.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0) fail(errno);
    return;
  }
  // Through a symbolic link, the file it points to is the one replaced.
  if (char* resolved = ::realpath(path_.c_str(), nullptr)) {
    path_ = resolved;
    std::free(resolved);
  }
  temporary_ = path_ + ".tmp-XXXXXX";
  fd_ = ::mkstemp(temporary_.data());
  if (fd_ < 0) {
    fail(errno);
    return;
  }
  remove_on_signal(temporary_);
  // mkstemp makes the file private (0600): the result gets the mode the file
  // has, or that of a new file. umask can only be read by setting it.
  mode_t mode;
  if (::stat(path_.c_str(), &target) == 0) {
    mode = target.st_mode & 0777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd_, mode);
}

ReplacingFile::~ReplacingFile() { discard(); }

void ReplacingFile::discard() {
  if (fd_ < 0) return;
  ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  keep_on_signal();
  fd_ = -1;
}

bool ReplacingFile::write(std::string_view bytes) {
  if (fd_ < 0 || error() != 0) return false;
  int error_number = 0;
  if (write_all(fd_, bytes, error_number)) return true;
  fail(error_number);
  return false;
}

bool ReplacingFile::commit() {
  if (fd_ < 0 || error() != 0) {
    discard();
    return false;
  }
  if (temporary_.empty()) {  // written in place
    if (::close(fd_) != 0) fail(errno);
    fd_ = -1;
    return error() == 0;
  }
  // A full disk may show only when the data reach it: fsync and close report it.
  if (::fsync(fd_) != 0) fail(errno);
  if (::close(fd_) != 0) fail(errno);
  fd_ = -1;
  if (error() == 0 && ::rename(temporary_.c_str(), path_.c_str()) != 0) fail(errno);
  if (error() != 0) ::unlink(temporary_.c_str());
  keep_on_signal();
  return error() == 0;
}

RowWriter::RowWriter(Sink& sink, Format format, std::vector<std::string> columns, char separator)
    : sink_(sink), format_(format), separator_(separator), columns_(std::move(columns)) {
  if (format_ == Format::Csv) {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      if (i > 0) buffer_ += separator_;
      csv_text(columns_[i]);
    }
    buffer_ += '\n';
  } else {
    // Keys must be unique for a JSON reader to keep every value.
    std::set<std::string> keys;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      std::string key = columns_[i].empty() ? "column " + std::to_string(i + 1) : columns_[i];
      for (int n = 2; !keys.insert(key).second; ++n)
        key = (columns_[i].empty() ? "column " + std::to_string(i + 1) : columns_[i]) + " (" + std::to_string(n) + ")";
      json_keys_.push_back({});
      std::swap(buffer_, json_keys_.back());
      json_text(key);
      std::swap(buffer_, json_keys_.back());
      json_keys_.back() += ':';
    }
    buffer_ += '[';
  }
}

// RFC 4180: a cell with a separator, a quote or a line break is quoted, its
// quotes doubled. Commas and semicolons are both quoted, whichever separates,
// so that a reader that guesses the separator from a line is not misled. A
// cell that starts or ends with a blank is quoted too, so that readers that
// trim cells keep it whole.
void RowWriter::csv_text(std::string_view text) {
  const bool quoted = text.find_first_of(",;\t\"\r\n") != std::string_view::npos ||
                      (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quoted) {
    buffer_ += text;
    return;
  }
  buffer_ += '"';
  for (const char c : text) {
    if (c == '"') buffer_ += '"';
    buffer_ += c;
  }
  buffer_ += '"';
}

// JSON strings through the JSON library: escapes, control characters, and
// invalid UTF-8 replaced by U+FFFD rather than written as it is.
void RowWriter::json_text(std::string_view text) {
  buffer_ += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The text of shortest(), written straight into the buffer: a million rows
// would otherwise allocate a string for most of their numbers.
void RowWriter::number(double value, bool quote_non_finite) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  const bool quoted = quote_non_finite && !std::isfinite(value);
  if (quoted) buffer_ += '"';
  if (separator_ == ';' && format_ == Format::Csv) std::replace(text, end, '.', ',');
  buffer_.append(text, end);
  if (quoted) buffer_ += '"';
}

void RowWriter::row(std::span<const Cell> cells) {
  const bool json = format_ == Format::Json;
  if (json) buffer_ += first_row_ ? "\n{" : ",\n{";
  first_row_ = false;
  bool first_cell = true;
  for (std::size_t i = 0; i < cells.size() && i < columns_.size(); ++i) {
    const Cell& cell = cells[i];
    if (json) {
      if (std::holds_alternative<std::monostate>(cell)) continue;  // a missing value has no key
      if (!first_cell) buffer_ += ',';
      buffer_ += json_keys_[i];
    } else if (i > 0) {
      buffer_ += separator_;
    }
    first_cell = false;
    if (const double* x = std::get_if<double>(&cell)) {
      number(*x, json);
    } else if (const std::int64_t* n = std::get_if<std::int64_t>(&cell)) {
      buffer_ += std::to_string(*n);
    } else if (const std::string* s = std::get_if<std::string>(&cell)) {
      if (json) json_text(*s);
      else csv_text(*s);
    }
  }
  if (json) buffer_ += '}';
  else buffer_ += '\n';
  if (buffer_.size() >= kBlock) flush();
}

bool RowWriter::flush() {
  const bool ok = sink_.write(buffer_);
  buffer_.clear();
  return ok;
}

bool RowWriter::finish() {
  if (format_ == Format::Json) buffer_ += first_row_ ? "]\n" : "\n]\n";
  return flush();
}

}  // namespace triex::cli

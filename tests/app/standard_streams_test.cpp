#include "app/standard_streams.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/common/child_process.hpp"

namespace triex {
namespace {

std::string read_all(int fd) {
  std::string text;
  char buf[4096];
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
  return text;
}

// A file holding `text`, removed when the object goes.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& text) {
    const int fd = mkstemp(path_);
    if (fd >= 0) {
      ok_ = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
      close(fd);
    }
  }
  ~TemporaryFile() { unlink(path_); }
  const char* path() const { return path_; }
  bool ok() const { return ok_; }

 private:
  char path_[32] = "/tmp/triex_streams_XXXXXX";
  bool ok_ = false;
};

enum class Stdout { Pipe, DevFull, Closed, PipeWithoutReader };

struct ProgramResult {
  int status = -1;  // exit status; -1 when killed by a signal
  int signal = 0;
  std::string out, err;
};

// Runs the built program with standard input from `input_path` and standard
// output as `mode` says; standard error is captured.
ProgramResult run_program(const std::vector<const char*>& args, const char* input_path, Stdout mode) {
  int out_pipe[2], err_pipe[2];
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return {};
  if (mode == Stdout::PipeWithoutReader) close(out_pipe[0]);
  const pid_t child = fork();
  if (child < 0) return {};
  if (child == 0) {
    std::signal(SIGPIPE, SIG_DFL);  // as a shell starts a program, whatever the test runner does
    const int in = open(input_path, O_RDONLY);
    if (in < 0) _exit(120);
    dup2(in, 0);
    close(in);
    if (mode == Stdout::DevFull) {
      const int full = open("/dev/full", O_WRONLY);
      if (full < 0) _exit(121);
      dup2(full, 1);
      close(full);
    } else if (mode == Stdout::Closed) {
      close(1);
    } else {
      dup2(out_pipe[1], 1);
    }
    dup2(err_pipe[1], 2);
    if (mode != Stdout::PipeWithoutReader) close(out_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[0]);
    close(err_pipe[1]);
    std::vector<char*> argv = {const_cast<char*>(TRIEX_BINARY)};
    for (const char* a : args) argv.push_back(const_cast<char*>(a));
    argv.push_back(nullptr);
    execv(TRIEX_BINARY, argv.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  ProgramResult result;
  if (mode != Stdout::PipeWithoutReader) {
    result.out = read_all(out_pipe[0]);
    close(out_pipe[0]);
  }
  result.err = read_all(err_pipe[0]);
  close(err_pipe[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

constexpr const char* kAnswers = "lysozyme\n1\n1 1 1\n1\n1\n10000\nyes\nno\n0\n";

TEST(Program, WritingToAFullDeviceOrAClosedStandardOutputGivesStatusThree) {
  TemporaryFile answers(kAnswers);
  ASSERT_TRUE(answers.ok());
  const ProgramResult full = run_program({}, answers.path(), Stdout::DevFull);
  EXPECT_EQ(full.status, 3);
  EXPECT_EQ(full.err, "triex: cannot write standard output: No space left on device\n");
  const ProgramResult closed = run_program({}, answers.path(), Stdout::Closed);
  EXPECT_EQ(closed.status, 3);
  EXPECT_EQ(closed.err, "triex: cannot write standard output: Bad file descriptor\n");
  for (const char* option : {"--help", "--version"}) {
    const ProgramResult help = run_program({option}, answers.path(), Stdout::DevFull);
    EXPECT_EQ(help.status, 3) << option;
    EXPECT_EQ(help.err, "triex: cannot write standard output: No space left on device\n") << option;
    EXPECT_EQ(run_program({option}, answers.path(), Stdout::Closed).status, 3) << option;
  }
  const ProgramResult fine = run_program({}, answers.path(), Stdout::Pipe);
  EXPECT_EQ(fine.status, 0);
  EXPECT_EQ(fine.err, "");
  EXPECT_NE(fine.out.find(" B(ex) =  0.40000E-03 ml.mol/g**2\n"), std::string::npos);
}

TEST(Program, AReaderThatHasGoneEndsTheProgramBySigpipe) {
  TemporaryFile answers(kAnswers);
  ASSERT_TRUE(answers.ok());
  const ProgramResult r = run_program({}, answers.path(), Stdout::PipeWithoutReader);
  EXPECT_EQ(r.signal, SIGPIPE);
  EXPECT_EQ(r.err, "");
}

TEST(Program, AnUnreadableStandardInputIsNamedWithStatusTwo) {
  const ProgramResult r = run_program({}, "/", Stdout::Pipe);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "triex: cannot read standard input: Is a directory\n");
  EXPECT_EQ(r.out, " Name of molecule\n");
}

TEST(DescriptorOutput, WritesEverythingInOrderAndRecordsTheFirstFailure) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::string expected;
  {
    DescriptorOutput buffer(fds[1]);
    std::ostream out(&buffer);
    for (int i = 0; i < 1000; ++i) {  // several times the buffer
      const std::string line = "line " + std::to_string(i) + "\n";
      out << line;
      expected += line;
    }
    out.flush();
    EXPECT_TRUE(out.good());
    EXPECT_EQ(buffer.error_number(), 0);
    close(fds[1]);
  }
  EXPECT_EQ(read_all(fds[0]), expected);
  close(fds[0]);

  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  DescriptorOutput buffer(full);
  std::ostream out(&buffer);
  out << "a few bytes";
  EXPECT_TRUE(out.good());  // still in the buffer
  out.flush();
  EXPECT_FALSE(out.good());
  EXPECT_EQ(buffer.error_number(), ENOSPC);
  EXPECT_EQ(transfer_error(&buffer), ENOSPC);
  close(full);
}

TEST(DescriptorInput, TellsTheEndOfAFileFromAFailedRead) {
  TemporaryFile file(std::string(100000, 'x'));
  ASSERT_TRUE(file.ok());
  const int fd = open(file.path(), O_RDONLY);
  ASSERT_GE(fd, 0);
  DescriptorInput buffer(fd);
  std::istream in(&buffer);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(text, std::string(100000, 'x'));
  EXPECT_EQ(read_error(in), 0);
  close(fd);

  const int directory = open("/", O_RDONLY);
  ASSERT_GE(directory, 0);
  DescriptorInput unreadable(directory);
  std::istream from_directory(&unreadable);
  EXPECT_EQ(from_directory.get(), std::char_traits<char>::eof());
  EXPECT_EQ(read_error(from_directory), EISDIR);
  close(directory);
}

// A hard library failure ends the program with status 1 after its message is
// out; when standard output has failed, with status 3 instead.
TEST(StandardStreams, AHardFailureAfterAFailedWriteEndsWithStatusThree) {
  const auto hard_failure_after_writing = [] {
    StandardStreams streams;
    streams.out() << " ** Hard failure - execution terminated\n";
    P01ABZ();
  };
  const auto written = testing_support::run_in_child(hard_failure_after_writing);
  EXPECT_EQ(written.exit_status, 1);
  EXPECT_EQ(written.out, " ** Hard failure - execution terminated\n");
  const auto lost = testing_support::run_in_child([&] {
    const int full = open("/dev/full", O_WRONLY);
    if (full < 0) _exit(121);
    dup2(full, 1);
    dup2(full, 2);  // the write-failure line is lost too; the status tells
    hard_failure_after_writing();
  });
  EXPECT_EQ(lost.exit_status, 3);
}

}  // namespace
}  // namespace triex

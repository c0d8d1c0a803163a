#include "support/write_all.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

namespace triex {
namespace {

std::atomic<int> interruptions{0};
void count_interruption(int) { ++interruptions; }

// A writer blocked on a full pipe is interrupted by a timer signal (installed
// without SA_RESTART, so write(2) fails with EINTR) many times before a slow
// reader drains the pipe: every byte must still arrive, in order.
TEST(WriteAll, AWriteInterruptedBySignalsGoesOnUntilEveryByteIsWritten) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  struct sigaction action = {}, previous = {};
  action.sa_handler = count_interruption;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART
  ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);

  std::string sent(1 << 20, '\0');
  for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<char>(i * 7 + i / 251);
  std::string received;
  std::thread reader([&] {
    sigset_t alarm;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    pthread_sigmask(SIG_BLOCK, &alarm, nullptr);  // the signals go to the writer
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) != 0;) {
      if (n > 0) received.append(buffer, static_cast<std::size_t>(n));
    }
  });
  const itimerval every_2ms{{0, 2000}, {0, 2000}};
  setitimer(ITIMER_REAL, &every_2ms, nullptr);
  interruptions = 0;
  int error_number = 0;
  const bool written = write_all(fds[1], sent, error_number);
  const itimerval off{};
  setitimer(ITIMER_REAL, &off, nullptr);
  close(fds[1]);
  reader.join();
  close(fds[0]);
  sigaction(SIGALRM, &previous, nullptr);

  EXPECT_TRUE(written);
  EXPECT_EQ(error_number, 0);
  EXPECT_GT(interruptions, 0);
  EXPECT_TRUE(received == sent) << received.size() << " of " << sent.size() << " bytes arrived";
}

TEST(WriteAll, AFailedWriteGivesItsErrno) {
  int error_number = 0;
  EXPECT_FALSE(write_all(-1, "x", error_number));
  EXPECT_EQ(error_number, EBADF);
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  EXPECT_FALSE(write_all(full, "x", error_number));
  EXPECT_EQ(error_number, ENOSPC);
  close(full);
}

}  // namespace
}  // namespace triex

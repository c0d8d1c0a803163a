// The batch command reads in bounded memory: the program, fed 120 MB of long
// rows through a pipe, stays under 64 MB of resident memory.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <csignal>
#include <string>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TRIEX_SANITIZED_BUILD 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TRIEX_SANITIZED_BUILD 1
#endif

namespace {

constexpr long kMemoryBoundKiB = 64 * 1024;

TEST(BatchMemory, LongRowsThroughAPipeStayUnder64Megabytes) {
#ifdef TRIEX_SANITIZED_BUILD
  GTEST_SKIP() << "a sanitizer's shadow memory and quarantine make the resident memory meaningless";
#endif
  int to_child[2];
  ASSERT_EQ(pipe(to_child), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(to_child[0], 0);
    close(to_child[0]);
    close(to_child[1]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execl(TRIEX_BINARY, TRIEX_BINARY, "batch", "-", "--threads", "2", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(to_child[0]);
  std::signal(SIGPIPE, SIG_IGN);
  const std::string header = "name,a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol\n";
  // Names just under the reader's 1 MiB bound (computed and written back), and
  // lines just over it (refused).
  const std::string kept = std::string(1000000, 'n') + ",2,1,0.74,14000\n";
  const std::string refused = std::string(1100000, 'x') + ",2,1,0.74,14000\n";
  bool ok = write(to_child[1], header.data(), header.size()) == static_cast<ssize_t>(header.size());
  for (int i = 0; i < 60 && ok; ++i) {
    const std::string& line = i % 2 ? refused : kept;
    for (std::size_t done = 0; ok && done < line.size();) {
      const ssize_t n = write(to_child[1], line.data() + done, line.size() - done);
      ok = n > 0;
      done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
  }
  close(to_child[1]);
  EXPECT_TRUE(ok) << "the program stopped reading";
  int status = 0;
  struct rusage usage;
  ASSERT_EQ(wait4(child, &status, 0, &usage), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);  // the long lines are refused, the others written
  EXPECT_LT(usage.ru_maxrss, kMemoryBoundKiB) << "resident memory " << usage.ru_maxrss << " KiB";
  std::printf("largest resident memory: %ld KiB\n", usage.ru_maxrss);
}

}  // namespace

// Feeds 200 MB on one line, without a newline, into the built program and
// checks that it reads in constant memory: the peak resident set stays under
// 16 MB and the run ends with the refusal of the next answer (status 2).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s path/to/triex\n", argv[0]);
    return 2;
  }
  std::signal(SIGPIPE, SIG_IGN);
  int to_child[2], from_child[2];
  if (pipe(to_child) != 0 || pipe(from_child) != 0) return 1;
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    dup2(to_child[0], 0);
    dup2(from_child[1], 1);
    close(to_child[1]);
    close(from_child[0]);
    execl(argv[1], argv[1], static_cast<char*>(nullptr));
    _exit(127);
  }
  close(to_child[0]);
  close(from_child[1]);

  // Write the stream while draining the child's (small) output in between.
  constexpr std::size_t kTotal = 200u << 20;
  std::string chunk(1 << 16, 'x');
  for (std::size_t i = 0; i < chunk.size(); i += 7) chunk[i] = ' ';  // many items, one line
  std::size_t written = 0;
  while (written < kTotal) {
    const ssize_t n = write(to_child[1], chunk.data(), chunk.size());
    if (n <= 0) break;  // the child may stop reading early
    written += static_cast<std::size_t>(n);
  }
  close(to_child[1]);
  std::string out;
  char buf[4096];
  for (ssize_t n; (n = read(from_child[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
  close(from_child[0]);

  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const long peak_kb = usage.ru_maxrss;
  std::printf("wrote %zu bytes, exit status %d, peak RSS %ld kB\n", written, WIFEXITED(status) ? WEXITSTATUS(status) : -1,
              peak_kb);
  bool ok = true;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 2) {
    std::printf("FAIL: expected exit status 2\n");
    ok = false;
  }
  if (peak_kb >= 16 * 1024) {
    std::printf("FAIL: peak RSS %ld kB is not under 16 MB\n", peak_kb);
    ok = false;
  }
  if (written < kTotal) {
    std::printf("FAIL: the program stopped reading after %zu bytes\n", written);
    ok = false;
  }
  return ok ? 0 : 1;
}

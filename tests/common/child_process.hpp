// Runs a function in a child process and returns what it wrote to standard
// output and how it ended: for the paths that end the whole process.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace triex::testing_support {

struct ChildResult {
  std::string out;
  int exit_status = -1;  // -1 when the child did not exit normally
};

template <class Body>
ChildResult run_in_child(Body body) {
  std::cout.flush();
  std::fflush(stdout);
  int pipefd[2];
  if (pipe(pipefd) != 0) return {};
  const pid_t child = fork();
  if (child < 0) return {};
  if (child == 0) {
    dup2(pipefd[1], 1);
    close(pipefd[0]);
    close(pipefd[1]);
    body();
    std::cout.flush();
    std::fflush(stdout);
    _exit(99);  // the body was expected to end the process itself
  }
  close(pipefd[1]);
  ChildResult result;
  char buf[4096];
  for (ssize_t n; (n = read(pipefd[0], buf, sizeof buf)) > 0;) result.out.append(buf, static_cast<std::size_t>(n));
  close(pipefd[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  return result;
}

}  // namespace triex::testing_support

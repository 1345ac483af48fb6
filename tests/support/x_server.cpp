#include "support/x_server.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelmira::test {

constexpr char kXvfb[] = "/usr/bin/Xvfb";

bool XServer::Available() { return access(kXvfb, X_OK) == 0; }

XServer::XServer() {
  int fds[2];
  if (pipe(fds) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, STDOUT_FILENO), dup2(devnull, STDERR_FILENO);
    std::string fd = std::to_string(fds[1]);
    // -noreset: by default the server resets when its last client leaves, and a client that
    // connects during the reset (the test after a child process) is refused.
    execl(kXvfb, "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // Xvfb writes its display number once it is ready; nothing when it failed.
  std::string number;
  for (char c; pid_ > 0 && read(fds[0], &c, 1) == 1 && c != '\n';) number.push_back(c);
  close(fds[0]);
  if (!number.empty()) display_ = ":" + number;
}

XServer::~XServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

}  // namespace kelmira::test

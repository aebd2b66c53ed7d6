#include "ecusim_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace m797::e2e {

EcusimProcess::EcusimProcess(const std::string& log_path, std::vector<std::string> args)
    : log_path_(log_path) {
  args.insert(args.begin(), ECUSIM_PATH);
  args.push_back("--log");
  args.push_back(log_path);
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(pipe_fds[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (auto& a : args)
      argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipe_fds[1]);
  status_fd_ = pipe_fds[0];
  fcntl(status_fd_, F_SETFL, O_NONBLOCK);
}

EcusimProcess::~EcusimProcess() {
  Stop();
  if (status_fd_ >= 0) close(status_fd_);
}

int EcusimProcess::Stop() {
  if (pid_ <= 0) return 0;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return status;
}

std::vector<std::string> EcusimProcess::StatusLines() {
  char buf[512];
  ssize_t n;
  while ((n = read(status_fd_, buf, sizeof buf)) > 0)
    status_text_.append(buf, std::size_t(n));
  std::vector<std::string> lines;
  std::istringstream in(status_text_);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

const std::vector<LoggedFrame>& EcusimProcess::Frames() {
  std::ifstream in(log_path_);
  in.seekg(log_read_to_);
  for (LoggedFrame& frame : ParseFrameLog(in, &log_read_to_))
    frames_.push_back(std::move(frame));
  return frames_;
}

}  // namespace m797::e2e

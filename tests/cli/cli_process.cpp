#include "cli_process.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace m797::cli::test {

std::string CliProgram() {
#ifdef _WIN32
  const char* program = std::getenv("M797_CLI");
  if (!program) throw std::runtime_error("M797_CLI does not name the m797-cli.exe to test");
  return program;
#else
  return M797_CLI_PATH;
#endif
}

#ifndef _WIN32

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& output_stem)
    : stem_(output_stem) {
  const int out = open((stem_ + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int err = open((stem_ + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0 || err < 0) throw std::runtime_error("cannot create " + stem_ + ".out/.err");
  std::vector<std::string> argv_text = args;
  argv_text.insert(argv_text.begin(), program);
  std::vector<char*> argv;
  for (auto& a : argv_text)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out);
  close(err);
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

void ChildProcess::Signal(int signal) {
  if (pid_ > 0) kill(pid_, signal);
}

int ChildProcess::Wait() {
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
#endif

namespace {

// A Windows program's standard output and error are text, with CR LF line ends: read as text.
std::string AsText(std::string bytes) {
#ifdef _WIN32
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n') text += bytes[i];
  return text;
#else
  return bytes;
#endif
}

}  // namespace

std::string ChildProcess::Output() const {
  return AsText(ReadFile(stem_ + ".out"));
}

std::string ChildProcess::Errors() const {
  return AsText(ReadFile(stem_ + ".err"));
}

Finished Run(const std::string& program, const std::vector<std::string>& args,
             const std::string& output_stem) {
  ChildProcess child(program, args, output_stem);
  const int code = child.Wait();
  return {code, child.Output(), child.Errors()};
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace m797::cli::test

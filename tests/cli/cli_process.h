#pragma once

#ifndef _WIN32
#include <sys/types.h>
#endif

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace m797::cli::test {

// The console program under test: this build's, or on Windows the one built with Qt for Windows
// that the environment variable M797_CLI names.
std::string CliProgram();

// A program run as a child process with its standard output and error kept in files.
class ChildProcess {
 public:
  // Starts `program` with `args`; output goes to `output_stem`.out and .err.
  ChildProcess(const std::string& program, const std::vector<std::string>& args,
               const std::string& output_stem);
  ~ChildProcess();  // SIGKILL if still running
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // A POSIX signal; on Windows a console control event (CTRL_BREAK_EVENT), to the child's own
  // process group.
  void Signal(int signal);
  // Waits for the end; the exit code, or 128 + the signal that ended it.
  int Wait();

  std::string Output() const;
  std::string Errors() const;

 private:
#ifdef _WIN32
  void* process_ = nullptr;  // the child's process handle
  unsigned long id_ = 0;     // its process (and process group) id
#else
  pid_t pid_ = -1;
#endif
  std::string stem_;
};

// Runs a program to its end: exit code, standard output and error.
struct Finished {
  int code;
  std::string out;
  std::string err;
};
Finished Run(const std::string& program, const std::vector<std::string>& args,
             const std::string& output_stem);

// Polls `done` every 10 ms until it holds or `timeout` has passed; returns done().
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

std::string ReadFile(const std::string& path);

}  // namespace m797::cli::test

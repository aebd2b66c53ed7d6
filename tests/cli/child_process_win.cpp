// The child process of the Windows tests, in a process group of its own, as a console starts a
// program.
#include <windows.h>

#include <stdexcept>

#include "cli_process.h"

namespace m797::cli::test {

namespace {

// One argument as the C runtime's command-line parser reads it back.
std::string Quoted(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');  // before the closing quote
  return quoted + "\"";
}

HANDLE CreateOutput(const std::string& path) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
  return file;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& output_stem)
    : stem_(output_stem) {
  std::string command_line = Quoted(program);
  for (const std::string& arg : args)
    command_line += " " + Quoted(arg);
  const HANDLE out = CreateOutput(stem_ + ".out");
  const HANDLE err = CreateOutput(stem_ + ".err");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION info{};
  const BOOL started = CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startup, &info);
  CloseHandle(out);
  CloseHandle(err);
  if (!started) throw std::runtime_error("cannot start " + command_line);
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
  if (!process_) return;
  TerminateProcess(process_, 137);
  WaitForSingleObject(process_, INFINITE);
  CloseHandle(process_);
}

// Runs the system's own dispatch of a console control event in the child, as the console does
// when the user presses Ctrl-Break or closes its window: kernel32's CtrlRoutine on a new thread of
// the child, with the event as its argument.  It needs no console shared with the child, which a
// test under Wine does not have.
void ChildProcess::Signal(int event) {
  if (!process_) return;
  const auto routine = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CtrlRoutine")));
  if (!routine) throw std::runtime_error("kernel32 has no CtrlRoutine");
  const HANDLE thread =
      CreateRemoteThread(process_, nullptr, 0, routine,
                         reinterpret_cast<void*>(static_cast<ULONG_PTR>(event)), 0, nullptr);
  if (!thread) throw std::runtime_error("cannot start a thread in the child");
  CloseHandle(thread);
}

int ChildProcess::Wait() {
  DWORD code = 0;
  WaitForSingleObject(process_, INFINITE);
  GetExitCodeProcess(process_, &code);
  CloseHandle(process_);
  process_ = nullptr;
  return static_cast<int>(code);
}

}  // namespace m797::cli::test

// Child processes on Windows: a new run of this test program (CreateProcessW)
// whose environment names the body and its argument. In the child, a
// GoogleTest environment set up before any test runs the body and ends the
// process with its status; the filter names the parent's test suite, so the
// child sets its environments up. Standard output and error both go to the
// file; a child past its time limit is terminated.
#include "tests/harness/child_process.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace cadence::harness {
namespace {

constexpr const char* kBodyVariable = "CADENCE_CHILD_BODY";
constexpr const char* kArgumentVariable = "CADENCE_CHILD_ARGUMENT";

std::wstring wide(const std::string& text) {
  if (text.empty()) return {};
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), units);
  return out;
}

std::string narrow(const wchar_t* text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return {};
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
  out.pop_back();  // the terminating NUL
  return out;
}

// This process's environment without the harness's own variables, then
// those two, as a block of NUL-terminated entries ending in an empty one.
std::wstring childEnvironment(const std::string& bodyName, const std::string& argument) {
  std::wstring block;
  if (wchar_t* current = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = current; *entry; entry += wcslen(entry) + 1) {
      const std::wstring text(entry);
      if (text.rfind(wide(kBodyVariable) + L"=", 0) == 0 || text.rfind(wide(kArgumentVariable) + L"=", 0) == 0) {
        continue;
      }
      block += text;
      block.push_back(L'\0');
    }
    FreeEnvironmentStringsW(current);
  }
  for (const auto& [name, value] : {std::pair<const char*, const std::string&>{kBodyVariable, bodyName},
                                    std::pair<const char*, const std::string&>{kArgumentVariable, argument}}) {
    block += wide(name) + L"=" + wide(value);
    block.push_back(L'\0');
  }
  block.push_back(L'\0');
  return block;
}

// The running test suite's name: the child runs it up to its environments.
std::string currentSuiteFilter() {
  const ::testing::TestSuite* suite = ::testing::UnitTest::GetInstance()->current_test_suite();
  return suite ? std::string(suite->name()) + ".*" : std::string("*");
}

HANDLE openOutputFile(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const std::wstring target = path.empty() ? std::wstring(L"NUL") : wide(path);
  return CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Set up before any test of a child run: runs the body and ends the process.
class ChildBodyEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    const wchar_t* body = _wgetenv(wide(kBodyVariable).c_str());
    if (!body) return;  // the parent, or any ordinary run
    // The runtime library keeps writing to the file through its own
    // descriptors; the process's standard handles are cleared, so a helper
    // the system starts for this process (wine's desktop process, at the
    // first window) does not copy the file's handle and hold it open after
    // this process has ended.
    for (DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) SetStdHandle(which, nullptr);
    const wchar_t* argument = _wgetenv(wide(kArgumentVariable).c_str());
    const int status = runChildBody(narrow(body), argument ? narrow(argument) : std::string());
    std::fflush(nullptr);
    std::exit(status);
  }
};

::testing::Environment* const childBodyEnvironment = ::testing::AddGlobalTestEnvironment(new ChildBodyEnvironment);

}  // namespace

ChildOutcome runInChild(const std::string& bodyName, const std::string& argument, std::chrono::milliseconds limit,
                        const std::string& stderrPath) {
  wchar_t program[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, program, static_cast<DWORD>(std::size(program)));
  if (length == 0 || length >= std::size(program)) return {};
  std::wstring commandLine =
      L"\"" + std::wstring(program) + L"\" --gtest_color=no --gtest_filter=" + wide(currentSuiteFilter());
  std::wstring environment = childEnvironment(bodyName, argument);

  HANDLE output = openOutputFile(stderrPath);
  if (output == INVALID_HANDLE_VALUE) return {};
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = INVALID_HANDLE_VALUE;
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION child{};
  std::fflush(nullptr);
  // No window or console of its own: a console host started for it would
  // hold the output file open after the child has ended.
  // Under load wine now and then refuses a start for a moment: a few tries.
  BOOL started = FALSE;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    if (attempt > 0) Sleep(100);
    started = CreateProcessW(program, commandLine.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                             environment.data(), nullptr, &startup, &child);
  }
  CloseHandle(output);
  if (!started) return {};
  CloseHandle(child.hThread);

  ChildOutcome outcome;
  const auto millis = static_cast<DWORD>(limit.count());
  if (WaitForSingleObject(child.hProcess, millis) == WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    outcome = {ChildOutcome::Kind::Exited, static_cast<int>(code)};
  } else {
    TerminateProcess(child.hProcess, 1);
    WaitForSingleObject(child.hProcess, INFINITE);
    outcome = {ChildOutcome::Kind::TimedOut, 0};
  }
  CloseHandle(child.hProcess);
  return outcome;
}

}  // namespace cadence::harness

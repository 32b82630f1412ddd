// nsktool's program entry: arguments in, RunNsktool's exit status out.
#include <iostream>
#include <string>
#include <vector>

#include "nsktool/Nsktool.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

namespace {

// The arguments as UTF-8: main's argv is in the ANSI code page, which cannot
// hold every file name.
std::vector<std::string> Utf8Arguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return args;
  for (int i = 1; i < count; ++i) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, s.data(), n, nullptr, nullptr);
    args.push_back(std::move(s));
  }
  ::LocalFree(wide);
  return args;
}

}  // namespace

int main() { return nuvskin::nsktool::RunNsktool(Utf8Arguments(), std::cout, std::cerr); }
#else
int main(int argc, char** argv) {
  return nuvskin::nsktool::RunNsktool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
#endif

// nsktool: packs skin source folders into skin containers, unpacks them,
// lists and checks them and draws contact sheets of their bitmaps.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace nuvskin::nsktool {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;         // unreadable container or any other error
constexpr int kExitWrongPassword = 2;  // missing or wrong password
constexpr int kExitUsage = 64;

// Runs one command; `args` excludes the program name. Every argument and
// path is UTF-8.
int RunNsktool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace nuvskin::nsktool

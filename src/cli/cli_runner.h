// kelvaris-cli: the same main window driven from the command line.
// Arguments are processed from left to right.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kelvaris {

// Exit codes: 0 every load succeeded, 1 a load failed, 2 an unusable argument.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kelvaris

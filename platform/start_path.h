#pragma once
// The folder or file the command line asks Fotello to start in.

#include <string>

namespace fotello {

// The argument naming it: the last one that is neither an option nor the
// value of one of Qt's options ("-style fusion"); "--" ends the options.
// Empty when there is none.
std::string StartArgument(int argc, const char* const* argv);

// The argument as an absolute path of bytes, "." and ".." and doubled "/"
// taken out: a relative path is taken from cwd, a local file:// URI is
// decoded. Names keep their bytes, UTF-8 or not. Empty for a URI of another
// host or scheme.
std::string AbsoluteStartPath(const std::string& arg, const std::string& cwd);

} // namespace fotello

#pragma once
// Path joining as the program forms its own file paths.

#include <string>

namespace fotello {

// folder + "/" + name, with the "/" left out when folder already ends in one
// (the filesystem root).
std::string JoinPath(const std::string& folder, const std::string& name);

// The folder with a trailing "/" unless it already has one; empty stays empty.
std::string WithSeparator(const std::string& folder);

} // namespace fotello

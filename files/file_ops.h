#pragma once
// Copy, move and rename of a user's file. None of them leaves a partial
// target, and none loses the source: a move removes it only once its copy
// is complete and synced.

#include <string>

#include "files/safe_write.h"

namespace fotello {

// Copies a regular file, replacing an existing target; keeps the source's
// permissions and modification time.
FileResult CopyFile(const std::string& source, const std::string& target);

// Moves a regular file; never replaces an existing target. Across
// filesystems: copy, sync, then remove the source.
FileResult MoveFile(const std::string& source, const std::string& target);

// Renames within one filesystem; never replaces an existing target.
FileResult RenameFile(const std::string& source, const std::string& target);

} // namespace fotello

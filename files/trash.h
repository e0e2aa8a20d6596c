#pragma once
// Deleting a file the way desktop file managers do: into the freedesktop
// trash, from where the user can restore it.

#include <QString>

namespace fotello {

// False, with the file where it was, when it could not be trashed.
bool MoveToTrash(const QString& path);

} // namespace fotello

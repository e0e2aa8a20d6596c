#pragma once
// The one way this program writes a file. The bytes go to a new temporary
// file in the target's folder; every write's count is checked, the file is
// synced, and only a complete file is renamed onto the target. A failure at
// any step removes the temporary file and leaves the target as it was.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fotello {

// Success, or why not (for the log; windows show their own messages).
struct FileResult {
    bool ok = true;
    int error = 0;       // errno of the step that failed
    std::string message; // which step, and the system's text
    static FileResult Fail(int err, std::string_view step);
    explicit operator bool() const { return ok; }
};

enum class Replace { Yes, No };

// A file being written. Nothing appears at the target until commit().
class SafeWriter {
public:
    // mode: the permissions of the new file (the umask does not apply);
    // negative: those of a replaced target, else 0666 less the umask.
    SafeWriter(std::string target, Replace replace, int mode = -1);
    ~SafeWriter(); // an uncommitted file is removed
    SafeWriter(const SafeWriter&) = delete;
    SafeWriter& operator=(const SafeWriter&) = delete;

    FileResult write(const void* data, std::size_t size);
    // The modification time to give the file (nanoseconds since the epoch).
    void keepTime(std::int64_t seconds, std::int64_t nanoseconds);
    // Syncs and renames onto the target; Replace::No fails when one exists.
    FileResult commit();

private:
    void discard();
    std::string target_;
    std::string temp_;
    Replace replace_;
    int fd_ = -1;
    FileResult state_;
    bool haveTime_ = false;
    std::int64_t sec_ = 0, nsec_ = 0;
};

// rename(2) that refuses an existing target, also where the filesystem lacks
// RENAME_NOREPLACE; -1 with errno on failure.
int RenameNoReplacing(const char* from, const char* to);

// Writes the whole of bytes to target through a SafeWriter.
FileResult WriteFileSafely(const std::string& target, std::string_view bytes,
                           Replace replace = Replace::Yes);

} // namespace fotello

#include "files/settings_save.h"

#include <cerrno>
#include <cstdlib>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_ops.h"
#include "shell/numbers.h"
#include "shell/settings_store.h"

namespace fotello {

namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool WriteRecord(const std::string& path, const SettingsEdit& e, std::string& error) {
    auto db = SettingsDb::Open(path, kSettingsPassword, &error);
    if (!db)
        return false;
    sqlite3* h = db->handle();
    if (!Exec(h, "BEGIN IMMEDIATE")) {
        error = sqlite3_errmsg(h);
        return false;
    }
    sqlite3_stmt* st = nullptr;
    bool ok = sqlite3_prepare_v2(h,
                                 "UPDATE Config SET slide = ?, fundojanela = ?, fundotela = ?, "
                                 "thumbs = ?, ativezoom = ? WHERE rowid = "
                                 "(SELECT rowid FROM Config ORDER BY rowid LIMIT 1)",
                                 -1, &st, nullptr) == SQLITE_OK;
    if (ok) {
        sqlite3_bind_double(st, 1, NumericValue(e.slide));
        sqlite3_bind_double(st, 2, NumericValue(e.fundojanela));
        sqlite3_bind_double(st, 3, NumericValue(e.fundotela));
        sqlite3_bind_text(st, 4, e.thumbs.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 5, e.ativezoom.c_str(), -1, SQLITE_TRANSIENT);
        ok = sqlite3_step(st) == SQLITE_DONE;
        if (!ok)
            error = sqlite3_errmsg(h);
        else if (sqlite3_changes(h) != 1) {
            ok = false;
            error = "no record in Config";
        }
    } else {
        error = sqlite3_errmsg(h);
    }
    sqlite3_finalize(st);
    if (ok && Exec(h, "COMMIT"))
        return true;
    if (ok)
        error = sqlite3_errmsg(h);
    Exec(h, "ROLLBACK");
    return false;
}

} // namespace

std::string UserSettingsPath() {
    std::string base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        base = config;
    else if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        base = std::string(home) + "/.config";
    else
        return {};
    return base + "/fotello/" + kSettingsFileName;
}

std::string SettingsPathToRead(const std::string& programDb, const std::string& userDb) {
    return !userDb.empty() && Exists(userDb) ? userDb : programDb;
}

bool SaveSettings(const std::string& programDb, const std::string& userDb, const SettingsEdit& edit,
                  std::string* error) {
    std::string why;
    auto fail = [&](const std::string& text) {
        if (error)
            *error = text;
        return false;
    };
    if (!userDb.empty() && Exists(userDb))
        return WriteRecord(userDb, edit, why) || fail(userDb + ": " + why);
    if (WriteRecord(programDb, edit, why))
        return true;
    const std::string programWhy = programDb + ": " + why;
    // Only a program database that is there but cannot be written is copied.
    if (userDb.empty() || !Exists(programDb) ||
        (::access(programDb.c_str(), W_OK) == 0 &&
         ::access(FolderOf(programDb).c_str(), W_OK) == 0))
        return fail(programWhy);
    const std::string folder = FolderOf(userDb);
    const std::string parent = FolderOf(folder);
    ::mkdir(parent.c_str(), 0700); // $XDG_CONFIG_HOME may not exist yet
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return fail(programWhy + "; " + folder + ": cannot be made");
    if (const FileResult copied = CopyFile(programDb, userDb); !copied)
        return fail(programWhy + "; " + copied.message);
    ::chmod(userDb.c_str(), 0600);
    if (WriteRecord(userDb, edit, why))
        return true;
    ::unlink(userDb.c_str()); // a copy that holds nothing new would only hide the program's
    return fail(programWhy + "; " + userDb + ": " + why);
}

} // namespace fotello

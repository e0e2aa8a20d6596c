#include "shell/settings_store.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include "shell/numbers.h"

namespace fotello {

SettingsDb::~SettingsDb() {
    sqlite3_close_v2(db_);
}

std::unique_ptr<SettingsDb> SettingsDb::Open(const std::string& path, const std::string& password,
                                             std::string* error) {
    auto fail = [&](std::string why) -> std::unique_ptr<SettingsDb> {
        if (error)
            *error = std::move(why);
        return nullptr;
    };
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return fail("não encontrado: " + path);

    sqlite3* db = nullptr;
    // No SQLITE_OPEN_CREATE: the database ships with the program.
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        std::string why = db ? sqlite3_errmsg(db) : "sem memória";
        sqlite3_close_v2(db);
        return fail(why);
    }
    if (sqlite3_key(db, password.data(), static_cast<int>(password.size())) != SQLITE_OK) {
        std::string why = sqlite3_errmsg(db);
        sqlite3_close_v2(db);
        return fail(why);
    }
    // The key is only checked on the first read.
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        std::string why = sqlite3_errmsg(db);
        sqlite3_close_v2(db);
        return fail(why);
    }
    sqlite3_busy_timeout(db, 2000);
    return std::unique_ptr<SettingsDb>(new SettingsDb(db));
}

std::optional<ConfigRecord> SettingsDb::FirstRecord(std::string* error) const {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT * FROM Config ORDER BY rowid LIMIT 1", -1, &stmt,
                           nullptr) != SQLITE_OK) {
        if (error)
            *error = sqlite3_errmsg(db_);
        return std::nullopt;
    }
    std::optional<ConfigRecord> record;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        record.emplace();
        const int columns = sqlite3_column_count(stmt);
        for (int c = 0; c < columns; ++c) {
            const char* name = sqlite3_column_name(stmt, c);
            for (std::size_t f = 0; f < kConfigFieldNames.size(); ++f) {
                if (!name || sqlite3_stricmp(name, kConfigFieldNames[f]) != 0)
                    continue;
                switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_NULL:
                    break;
                case SQLITE_INTEGER:
                case SQLITE_FLOAT:
                    record->fields[f] = NumberToText(sqlite3_column_double(stmt, c));
                    break;
                default: {
                    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                    record->fields[f] = std::string(
                        text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)));
                }
                }
            }
        }
    } else if (error) {
        *error = "Config sem registros";
    }
    sqlite3_finalize(stmt);
    return record;
}

} // namespace fotello

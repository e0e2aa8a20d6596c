#include "settings_db_maker.h"

#include <cstdlib>
#include <filesystem>
#include <sqlite3.h>

namespace fotello::test {

bool MakeSettingsDb(const std::string& path, const std::string& password, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    bool ok = (password.empty() ||
               sqlite3_key(db, password.data(), static_cast<int>(password.size())) == SQLITE_OK) &&
              sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    ok = sqlite3_close(db) == SQLITE_OK && ok;
    return ok;
}

std::string ConfigSql(const std::string& slide, const std::string& janela, const std::string& tela,
                      const std::string& thumbs, const std::string& zoom) {
    return "CREATE TABLE Config (slide REAL, fundojanela REAL, fundotela REAL, thumbs TEXT, "
           "ativezoom TEXT);"
           "INSERT INTO Config VALUES (" +
           slide + "," + janela + "," + tela + "," + thumbs + "," + zoom + ");";
}

std::string MakeTempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "fotello-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        return {};
    return tmpl;
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

} // namespace fotello::test

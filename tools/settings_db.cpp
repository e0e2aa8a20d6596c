// fotello-settings-db RECIPE.sql OUTPUT.db [PASSWORD]
// Makes the settings database the program ships with. The file is written
// beside OUTPUT under a temporary name and renamed over it only when
// complete, so a failed run leaves no half-made database.

#include <cstdio>
#include <fstream>
#include <sqlite3.h>
#include <sstream>
#include <string>
#include <unistd.h>

#include "shell/settings_store.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "uso: fotello-settings-db RECEITA.sql SAIDA.db [SENHA]\n");
        return 2;
    }
    const std::string recipePath = argv[1];
    const std::string out = argv[2];
    const std::string password = argc == 4 ? argv[3] : fotello::kSettingsPassword;

    std::ifstream in(recipePath);
    if (!in) {
        std::fprintf(stderr, "fotello-settings-db: não foi possível ler %s\n", recipePath.c_str());
        return 1;
    }
    std::stringstream recipe;
    recipe << in.rdbuf();

    const std::string tmp = out + ".tmp";
    ::unlink(tmp.c_str());
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(tmp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_key(db, password.data(), static_cast<int>(password.size()));
    char* err = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, recipe.str().c_str(), nullptr, nullptr, &err);
    const bool ok = rc == SQLITE_OK && sqlite3_close(db) == SQLITE_OK;
    if (!ok) {
        std::fprintf(stderr, "fotello-settings-db: %s\n", err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
        sqlite3_close(db);
        ::unlink(tmp.c_str());
        return 1;
    }
    if (std::rename(tmp.c_str(), out.c_str()) != 0) {
        std::perror("fotello-settings-db");
        ::unlink(tmp.c_str());
        return 1;
    }
    return 0;
}

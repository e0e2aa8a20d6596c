#pragma once
// Makes real encrypted settings databases for tests.

#include <string>

namespace fotello::test {

// Runs sql in a new database at path keyed with password; false on failure.
bool MakeSettingsDb(const std::string& path, const std::string& password, const std::string& sql);

// The shipped recipe with one field replaced by an SQL value ("NULL", "'sim'", "255").
std::string ConfigSql(const std::string& slide = "3", const std::string& janela = "8421504",
                      const std::string& tela = "0",
                      const std::string& thumbs = "'100 x 100 - 80 x 80'",
                      const std::string& zoom = "'Sim'");

// A fresh temporary folder, removed by the caller's test fixture.
std::string MakeTempDir();
void RemoveTree(const std::string& path);

} // namespace fotello::test

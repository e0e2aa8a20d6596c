#pragma once
// The settings record: one row of the table Config in the program's
// encrypted database. The program reads it; only the settings page writes it.

#include <array>
#include <memory>
#include <optional>
#include <string>

struct sqlite3;

namespace fotello {

inline constexpr const char* kSettingsPassword = "5Korum9";
inline constexpr const char* kSettingsFileName = "cadastro.db";

// Field order as the settings fields are filled.
enum class ConfigField { Slide, FundoJanela, FundoTela, Thumbs, AtiveZoom };
inline constexpr std::array<const char*, 5> kConfigFieldNames = {
    "slide", "fundojanela", "fundotela", "thumbs", "ativezoom"};

// Each field as text; nothing where the stored value is null or the column
// is missing.
struct ConfigRecord {
    std::array<std::optional<std::string>, 5> fields;
    const std::optional<std::string>& operator[](ConfigField f) const {
        return fields[static_cast<int>(f)];
    }
};

// An open settings database. Opening never creates the file.
class SettingsDb {
public:
    ~SettingsDb();
    SettingsDb(const SettingsDb&) = delete;
    SettingsDb& operator=(const SettingsDb&) = delete;

    // Nothing when the file is missing, unreadable or keyed otherwise;
    // error (if given) then says why.
    static std::unique_ptr<SettingsDb> Open(const std::string& path, const std::string& password,
                                            std::string* error = nullptr);

    // The first record of Config, or nothing when the table has none or
    // cannot be read.
    std::optional<ConfigRecord> FirstRecord(std::string* error = nullptr) const;

    sqlite3* handle() const { return db_; }

private:
    explicit SettingsDb(sqlite3* db) : db_(db) {}
    sqlite3* db_;
};

} // namespace fotello

#pragma once
// Writing the settings record from the settings page, and where it lives.
// An installed program's folder is not writable by its users: the record
// then goes to a per-user copy of the database, which start-up reads first.

#include <optional>
#include <string>

namespace fotello {

// The page's boxes as text: interval, window and screen colours, geometry,
// magnifier switch.
struct SettingsEdit {
    std::string slide, fundojanela, fundotela, thumbs, ativezoom;
};

// $XDG_CONFIG_HOME/fotello/cadastro.db ($HOME/.config when unset); empty
// when neither is known.
std::string UserSettingsPath();

// The database start-up and the page read: the per-user copy when present.
std::string SettingsPathToRead(const std::string& programDb, const std::string& userDb);

// Writes the five fields of the first record of Config in one transaction:
// the numbers as their numeric values, the texts as they are. Into the
// per-user copy when present; else into the program's database, or, when
// that cannot be written, into a new per-user copy made from it. False, with
// error, when the record is nowhere written.
bool SaveSettings(const std::string& programDb, const std::string& userDb, const SettingsEdit& edit,
                  std::string* error = nullptr);

} // namespace fotello

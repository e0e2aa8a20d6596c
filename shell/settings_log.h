#pragma once
// The settings database as the window opens it: why it could not be opened
// or read goes to the fotello.settings log.

#include <memory>
#include <optional>

#include <QString>

#include "shell/settings_store.h"

namespace fotello {

std::unique_ptr<SettingsDb> OpenSettingsDb(const QString& path);
std::optional<ConfigRecord> ReadSettingsRecord(const SettingsDb& db);

} // namespace fotello

#include "shell/settings_log.h"

#include "platform/log.h"

namespace fotello {

std::unique_ptr<SettingsDb> OpenSettingsDb(const QString& path) {
    std::string why;
    auto db = SettingsDb::Open(path.toStdString(), kSettingsPassword, &why);
    if (!db)
        qCWarning(lcSettings).noquote().nospace()
            << "settings not opened: " << QString::fromStdString(why);
    return db;
}

std::optional<ConfigRecord> ReadSettingsRecord(const SettingsDb& db) {
    std::string why;
    auto record = db.FirstRecord(&why);
    if (!record) {
        qCWarning(lcSettings).noquote().nospace()
            << "settings record not read: " << QString::fromStdString(why);
        return record;
    }
    for (std::size_t i = 0; i < kConfigFieldNames.size(); ++i) {
        const auto& value = record->fields[i];
        qCDebug(lcSettings).noquote().nospace()
            << kConfigFieldNames[i] << " = "
            << (value ? "\"" + QString::fromStdString(*value) + "\"" : QStringLiteral("null"));
    }
    return record;
}

} // namespace fotello

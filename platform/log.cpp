#include "platform/log.h"

namespace fotello {

// QtCriticalMsg: warnings and below stay quiet until a rule asks for them.
Q_LOGGING_CATEGORY(lcPicture, "fotello.picture", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcWmf, "fotello.wmf", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcThumbs, "fotello.thumbs", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcSettings, "fotello.settings", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcPlugins, "fotello.plugins", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcFiles, "fotello.files", QtCriticalMsg)

} // namespace fotello

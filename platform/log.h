#pragma once
// Logging categories. All are silent by default (only critical messages
// pass); QT_LOGGING_RULES="fotello.*=true" switches them on, or one at a time
// ("fotello.picture.warning=true").

#include <QLoggingCategory>

namespace fotello {

Q_DECLARE_LOGGING_CATEGORY(lcPicture)  // fotello.picture: files refused, and why
Q_DECLARE_LOGGING_CATEGORY(lcWmf)      // fotello.wmf: the metafile helper's runs
Q_DECLARE_LOGGING_CATEGORY(lcThumbs)   // fotello.thumbs: thumbnail builds
Q_DECLARE_LOGGING_CATEGORY(lcSettings) // fotello.settings: the settings database
Q_DECLARE_LOGGING_CATEGORY(lcPlugins)  // fotello.plugins: plug-in libraries passed over, and why
Q_DECLARE_LOGGING_CATEGORY(lcFiles)    // fotello.files: file commands that failed, and why

} // namespace fotello

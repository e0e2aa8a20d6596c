#pragma once
// What other windows and the plug-in host may ask of the main window. They
// never reach its widgets: they read the browsing state here, ask it to
// refresh, and find a control by name only where a plug-in needs one.

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "platform/picture_probe.h"

class QObject;
class QWidget;

namespace fotello {

class SettingsDb;
struct ConfigRecord;
struct SettingsValues;

// The picture a command works on.
struct CurrentPicture {
    QString path;     // full path; empty when nothing is picked
    QByteArray local; // the path as the file system spells it (names need not be UTF-8)
    QString name;     // its file name
    PictureKind kind = PictureKind::Unknown; // by its contents, not its name
    QImage image;      // as shown: a large photo may have been decoded reduced
    QSize naturalSize; // the picture's own size
    bool isValid() const { return !path.isEmpty(); }
};

class MainWindowHost {
public:
    virtual ~MainWindowHost() = default;

    // The folder of the file list, with a trailing "/".
    virtual QString currentFolder() const = 0;
    virtual CurrentPicture currentPicture() const = 0;

    // The status line (where the toolbar hints show); an empty text clears it.
    // The thumbnail builder's own progress text is not this line.
    virtual void setStatus(const QString& text) = 0;
    void clearStatus() { setStatus(QString()); }
    // A plain message box over the main window (does not block).
    virtual void showMessage(const QString& text) = 0;

    // Shows this picture in the preview in place of the current one (an edited
    // picture handed back), fitted as a selection fits it.
    virtual void showInPreview(const QImage& picture) = 0;
    // Reads the current file again and shows it.
    virtual void redrawPreview() = 0;
    // After a file was written, moved or removed: its cell, or the whole strip.
    virtual void rebuildThumbnail(const QString& path) = 0;
    virtual void rebuildThumbnails() = 0;

    // The stored record as loaded (nothing when the database could not be read),
    // and the values the window works with.
    virtual const ConfigRecord* settingsRecord() const = 0;
    virtual const SettingsValues& settings() const = 0;
    // After the settings fields were written: parse them once and apply; the
    // preview's background becomes previewBackColor (0x00BBGGRR) when given.
    virtual void applySettings(std::optional<std::int32_t> previewBackColor) = 0;

    // A control by its name (its objectName), for plug-ins; null when none.
    virtual QObject* control(const QString& name) const = 0;
    // The window other windows open over.
    virtual QWidget* hostWidget() = 0;
    // The open settings database, null when it could not be opened (the
    // settings page writes through it).
    virtual SettingsDb* settingsDatabase() const = 0;
};

} // namespace fotello

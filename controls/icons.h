#pragma once
// Toolbar pictures: the desktop's icon theme when it has the icon, otherwise
// a drawn picture so a bare machine still shows every button.

#include <QIcon>
#include <QString>

namespace fotello {

struct ToolbarPicture {
    QIcon normal;
    QIcon hover; // a brighter form shown while the pointer is over the button
};

// themeName: freedesktop icon name; glyph: one or two characters drawn on a
// rounded square of the given colour when the theme lacks the icon.
ToolbarPicture MakeToolbarPicture(const QString& themeName, const QString& glyph, QColor colour);

// The drawn form alone (used when no theme is wanted, and by tests).
QIcon DrawnIcon(const QString& glyph, QColor colour, int size = 32);

} // namespace fotello

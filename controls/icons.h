#pragma once
// Toolbar pictures: the icon theme's when it has the icon, otherwise a drawn
// picture so a machine without any theme still shows every button.

#include <QIcon>
#include <QString>
#include <QStringList>

namespace fotello {

struct ToolbarPicture {
    QIcon normal;
    QIcon hover; // a brighter form shown while the pointer is over the button
};

// A session without a desktop (or on Qt's own platform plug-ins) names no
// icon theme, or only the bare "hicolor": take Breeze, the Qt desktop's
// theme, from the system's icon folders. A desktop's own theme is kept, with
// Breeze behind it for the names it lacks.
void ChooseIconTheme();

// The first of the names the current theme has; empty when it has none.
QString FirstThemeIcon(const QStringList& names);

// themeNames: freedesktop icon names, the best fit first; glyph: one or two
// characters drawn on a rounded square of the given colour when the theme
// has none of them.
ToolbarPicture MakeToolbarPicture(const QStringList& themeNames, const QString& glyph,
                                  QColor colour);
ToolbarPicture MakeToolbarPicture(const QString& themeName, const QString& glyph, QColor colour);

// The folder pictures of the tree, closed and open: the theme's, or drawn.
QIcon FolderPicture(bool open);

// The drawn form alone (used when no theme is wanted, and by tests).
QIcon DrawnIcon(const QString& glyph, QColor colour, int size = 32);

// The brighter form of a picture, for the pointer over it.
QIcon HoverPicture(const QIcon& icon);

} // namespace fotello

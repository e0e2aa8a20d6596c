#pragma once
// Texts of the thumbnail build that depend on the user's locale.

#include <QString>

namespace fotello {

// "Imagens: " and the count with its thousands grouped by the locale
// (QLocale's default), as "#,##0" shows it: "Imagens: 1.234" in Brazil.
QString ImageCountText(qint64 count);

} // namespace fotello

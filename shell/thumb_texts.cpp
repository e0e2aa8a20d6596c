#include "shell/thumb_texts.h"

#include <QLocale>

namespace fotello {

QString ImageCountText(qint64 count) {
    QLocale locale;
    // The C locale leaves groups out unless told otherwise; "#,##0" always groups.
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return QStringLiteral("Imagens: ") + locale.toString(count);
}

} // namespace fotello

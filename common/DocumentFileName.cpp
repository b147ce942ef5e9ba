#include "common/DocumentFileName.h"

namespace tabel {

QString documentFileName(const QString& documentName, const QString& suffix)
{
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString name = documentName.simplified();
    for (QChar& character : name)
        if (refused.contains(character) || character.unicode() < 0x20)
            character = QLatin1Char('_');
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QStringLiteral("Отчет"));
    return name + QLatin1Char('.') + suffix;
}

} // namespace tabel

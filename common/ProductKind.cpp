#include "common/ProductKind.h"

namespace tabel {

bool isFinishedProducts(const QVariant& code)
{
    bool number = false;
    return !code.isNull() && code.toInt(&number) == 0 && number;
}

QString productKindCaption(const QVariant& code)
{
    return productKindCaptions().at(isFinishedProducts(code) ? 0 : 1);
}

QStringList productKindCaptions()
{
    return {QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")};
}

} // namespace tabel

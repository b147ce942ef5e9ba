#include "common/ProductKind.h"

namespace tabel {

QString productKindCaption(int kind)
{
    return productKindCaptions().at(kind == 0 ? 0 : 1);
}

QStringList productKindCaptions()
{
    return {QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")};
}

} // namespace tabel

#include "common/Messages.h"

namespace tabel {

void Messages::error(const QString& text, const QString& caption)
{
    show({caption, text, MessageIcon::Error, MessageButtons::Ok, {}});
}

void Messages::failure(const QString& text, const QString& detail)
{
    show({QStringLiteral("Ошибка"), text, MessageIcon::Error, MessageButtons::Ok, detail});
}

bool Messages::confirmDeletion(const QString& question)
{
    return show({QStringLiteral("Удаление"), question, MessageIcon::Question, MessageButtons::YesNo, {}}) ==
           MessageAnswer::Yes;
}

} // namespace tabel

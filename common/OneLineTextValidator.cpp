#include "common/OneLineTextValidator.h"

namespace tabel {

QString OneLineTextValidator::cleaned(const QString& text, int maxCharacters)
{
    QString result;
    result.reserve(text.size());
    int characters = 0;
    for (const char32_t character : text.toUcs4()) {
        const QChar::Category category = QChar::category(character);
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            continue;
        if (maxCharacters >= 0 && characters == maxCharacters)
            break;
        result.append(QString::fromUcs4(&character, 1));
        ++characters;
    }
    return result;
}

QValidator::State OneLineTextValidator::validate(QString& input, int& position) const
{
    const QString clean = cleaned(input, m_maxCharacters);
    if (clean != input) {
        position = std::min<int>(position - (input.size() - clean.size()), clean.size());
        position = std::max(position, 0);
        input = clean;
    }
    return Acceptable;
}

} // namespace tabel

#include "production_log/EntryCompletion.h"

namespace tabel {

namespace {
bool isSeparator(QChar ch)
{
    return ch.isSpace() || ch == QLatin1Char(';') || ch == QLatin1Char(',');
}
} // namespace

QString EntryCompletion::folded(const QString& text)
{
    QString result = text.trimmed().toUpper();
    result.replace(QChar(0x0401), QChar(0x0415)); // Ё -> Е
    return result;
}

void EntryCompletion::setTexts(const QStringList& texts)
{
    m_entries.clear();
    m_entries.reserve(texts.size());
    for (const QString& text : texts) {
        Entry entry{folded(text), {}};
        if (m_rule == Rule::WordPrefixes) {
            for (int i = 0; i < entry.text.size(); ++i)
                if (!isSeparator(entry.text.at(i)) && (i == 0 || isSeparator(entry.text.at(i - 1))))
                    entry.wordStarts << i;
        }
        m_entries << entry;
    }
}

bool EntryCompletion::wordsMatch(const Entry& entry, const QStringList& words) const
{
    int word = 0;
    for (const int start : entry.wordStarts) {
        if (QStringView(entry.text).mid(start).startsWith(words.at(word)) && ++word == words.size())
            return true;
    }
    return false;
}

QList<int> EntryCompletion::matches(const QString& typed, int limit) const
{
    QList<int> found;
    const QString wanted = folded(typed);
    if (wanted.isEmpty())
        return found;
    QStringList words;
    if (m_rule == Rule::WordPrefixes) {
        QString word;
        for (const QChar ch : wanted) {
            if (isSeparator(ch)) {
                if (!word.isEmpty())
                    words << word;
                word.clear();
            } else {
                word += ch;
            }
        }
        if (!word.isEmpty())
            words << word;
    }
    for (int i = 0; i < m_entries.size() && found.size() < limit; ++i) {
        const Entry& entry = m_entries.at(i);
        if (entry.text.startsWith(wanted) || (!words.isEmpty() && wordsMatch(entry, words)))
            found << i;
    }
    return found;
}

} // namespace tabel

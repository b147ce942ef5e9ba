#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tabel {

// Finds the entries of a reference list that a few typed letters mean, in the list's own order.
// Letter case does not matter, and Е and Ё are one letter, as in the lists' filters.
class EntryCompletion
{
public:
    enum class Rule {
        // The text starts with what was typed: a worker's name.
        NamePrefix,
        // Each typed word starts a word of the text, in the text's order, or the whole text starts
        // with what was typed: "кор кр" finds "КОРПУС-12; КРАСКА порошковая; Готовая продукция".
        WordPrefixes,
    };

    explicit EntryCompletion(Rule rule) : m_rule(rule) {}

    void setTexts(const QStringList& texts);
    int size() const { return int(m_entries.size()); }
    // Positions in the texts given, at most limit of them; nothing for an empty text.
    QList<int> matches(const QString& typed, int limit) const;

    static QString folded(const QString& text);

private:
    struct Entry
    {
        QString text;          // folded
        QList<int> wordStarts; // where each word of text begins
    };
    bool wordsMatch(const Entry& entry, const QStringList& words) const;

    Rule m_rule;
    QList<Entry> m_entries;
};

} // namespace tabel

#pragma once

#include "production_log/EntryCompletion.h"
#include "reference/ReferenceListWindow.h"

#include <QList>
#include <QString>

namespace tabel {

class Database;

// The workers and the operations that can be chosen (those with norm entries), read once when
// the shift entry opens, with what typing the start of a name finds among them.
class ShiftEntryChoices
{
public:
    struct Operation
    {
        int productId = 0;
        int operationId = 0;
        QString text; // grade; type; kind
    };

    void load(const Database& database);

    const QList<ListChoice>& workers() const { return m_workers; }
    const QList<Operation>& operations() const { return m_operations; }
    // Positions in workers() and operations().
    QList<int> matchingWorkers(const QString& typed, int limit) const
    {
        return m_workerNames.matches(typed, limit);
    }
    QList<int> matchingOperations(const QString& typed, int limit) const
    {
        return m_operationTexts.matches(typed, limit);
    }

private:
    QList<ListChoice> m_workers;
    QList<Operation> m_operations;
    EntryCompletion m_workerNames{EntryCompletion::Rule::NamePrefix};
    EntryCompletion m_operationTexts{EntryCompletion::Rule::WordPrefixes};
};

} // namespace tabel

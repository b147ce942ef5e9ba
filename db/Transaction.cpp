#include "db/Transaction.h"

#include "db/Database.h"

namespace tabel {

Transaction::Transaction(Database& database) : m_database(database)
{
    if (!m_database.inTransaction()) {
        m_database.begin();
        m_owner = true;
    }
}

Transaction::~Transaction()
{
    if (m_owner && !m_done)
        m_database.rollback();
}

void Transaction::commit()
{
    m_done = true;
    if (m_owner)
        m_database.commit();
}

} // namespace tabel

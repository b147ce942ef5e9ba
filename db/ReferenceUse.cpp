#include "db/ReferenceUse.h"

#include "db/Database.h"

namespace tabel {

namespace {
QString workerKey(int id)
{
    return QStringLiteral("in-use/worker/%1").arg(id);
}

QString operationKey(int id)
{
    return QStringLiteral("in-use/operation/%1").arg(id);
}
} // namespace

void ReferenceUse::holdForSave(int workerId, int operationId)
{
    m_database.lockKeyShared(workerKey(workerId));
    m_database.lockKeyShared(operationKey(operationId));
}

void ReferenceUse::holdWorkerForDeletion(int workerId)
{
    m_database.lockKey(workerKey(workerId));
}

void ReferenceUse::holdOperationForDeletion(int operationId)
{
    m_database.lockKey(operationKey(operationId));
}

} // namespace tabel

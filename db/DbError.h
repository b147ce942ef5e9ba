#pragma once

#include "common/ActionError.h"

namespace tabel {

// A statement the server rejected, or a connection that failed; carries the server's own text.
class DbError : public ActionError
{
public:
    explicit DbError(const QString& text, FailureKind kind = FailureKind::General) : ActionError(kind, text)
    {
    }
    QString text() const { return detail(); }
};

} // namespace tabel

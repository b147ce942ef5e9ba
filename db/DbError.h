#pragma once

#include <QString>
#include <stdexcept>

namespace tabel {

// A statement the server rejected, or a connection that failed; carries the server's own text.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

} // namespace tabel

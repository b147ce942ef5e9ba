#pragma once

#include <QString>
#include <stdexcept>

namespace tabel {

// What kind of failure ended an action, as far as the user can do something about it.
enum class FailureKind {
    General,
    ConnectionLost,   // the server is gone; the next action connects again
    Busy,             // another user holds what the action needs, longer than we wait
    Conflict,         // a deadlock or a serialization failure: repeating the action helps
    NumberOutOfRange, // a number the column cannot hold
    TextTooLong,      // a text longer than its column
    NoPermission,     // the database refuses this user the action
    Duplicate,        // a unique key would be repeated
    CheckFailed,      // a value the database's own checks refuse
};

// A failure that ends a user action: what kind it is, and the system's own words for it
// (the server's text, say), which the user sees as the detail.
class ActionError : public std::runtime_error
{
public:
    ActionError(FailureKind kind, const QString& detail)
        : std::runtime_error(detail.toStdString()), m_kind(kind), m_detail(detail)
    {
    }
    FailureKind kind() const { return m_kind; }
    QString detail() const { return m_detail; }

private:
    FailureKind m_kind;
    QString m_detail;
};

} // namespace tabel

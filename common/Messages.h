#pragma once

#include <QString>

namespace tabel {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct Message
{
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    QString detail; // shown below the text, smaller: the system's own words, say
};

// Every message box of the program goes through this one service, so that tests can
// see exactly what the user was shown and answer it.
class Messages
{
public:
    virtual ~Messages() = default;
    virtual MessageAnswer show(const Message& message) = 0;

    // Validation errors and refusals: caption "Ошибка", error icon, OK.
    void error(const QString& text, const QString& caption = QStringLiteral("Ошибка"));
    // A failed action: caption "Ошибка", what happened in the users' words, and the detail.
    void failure(const QString& text, const QString& detail);
    // Deletions ask first: caption "Удаление", Yes/No, question icon; true only on Yes.
    bool confirmDeletion(const QString& question);
};

} // namespace tabel

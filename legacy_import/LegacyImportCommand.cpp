#include "legacy_import/LegacyImportCommand.h"

#include "common/Messages.h"
#include "db/Database.h"
#include "legacy_import/ImportProgressDialog.h"

namespace tabel {

LegacyImportCommand::LegacyImportCommand(Database& main, Messages& messages, QWidget* parent)
    : m_messages(messages), m_guard(messages, main), m_import(main),
      m_dialog(new ImportProgressDialog(parent))
{
}

LegacyImportCommand::~LegacyImportCommand()
{
    delete m_dialog;
}

ImportProgressDialog& LegacyImportCommand::progressDialog()
{
    return *m_dialog;
}

void LegacyImportCommand::start()
{
    m_guard.run([this] { importAfterConfirmation(); });
}

void LegacyImportCommand::importAfterConfirmation()
{
    const MessageAnswer answer = m_messages.show(
        {QStringLiteral("Импорт"), importQuestionText(), MessageIcon::Question, MessageButtons::YesNo, {}});
    if (answer != MessageAnswer::Yes)
        return;
    ImportOutcome outcome;
    m_dialog->runWhileShown([&] { outcome = m_import.run(*m_dialog); });
    if (outcome.failure) {
        QString text = importFailureText(*outcome.failure);
        if (!outcome.done.isEmpty())
            text +=
                QLatin1Char('\n') + importSummaryText({outcome.done, {}, {}}).section(QLatin1Char('\n'), 1);
        m_messages.failure(text, outcome.failure->detail);
        return;
    }
    m_messages.show({QStringLiteral("Импорт"),
                     importSummaryText(outcome),
                     MessageIcon::Information,
                     MessageButtons::Ok,
                     {}});
}

} // namespace tabel

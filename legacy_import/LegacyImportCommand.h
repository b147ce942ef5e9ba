#pragma once

#include "common/ActionGuard.h"
#include "legacy_import/LegacyImport.h"

#include <QPointer>

class QWidget;

namespace tabel {

class Database;
class ImportProgressDialog;
class Messages;

// The main window's "Импорт": asks first, since seven tables are replaced, then imports with
// the progress shown and tells how many rows each table received, or why it stopped.
class LegacyImportCommand
{
public:
    LegacyImportCommand(Database& main, Messages& messages, QWidget* parent);
    ~LegacyImportCommand();

    void start();
    ImportProgressDialog& progressDialog();

private:
    void importAfterConfirmation();

    Messages& m_messages;
    ActionGuard m_guard;
    LegacyImport m_import;
    // Its parent may delete it first; whichever comes first does.
    QPointer<ImportProgressDialog> m_dialog;
};

} // namespace tabel

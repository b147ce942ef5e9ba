#pragma once

#include "common/ActionGuard.h"
#include "legacy_import/LegacyImport.h"

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
    ImportProgressDialog& progressDialog() { return *m_dialog; }

private:
    void importAfterConfirmation();

    Messages& m_messages;
    ActionGuard m_guard;
    LegacyImport m_import;
    ImportProgressDialog* m_dialog;
};

} // namespace tabel

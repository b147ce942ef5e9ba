#pragma once

#include <QApplication>

namespace tabel {

class Database;
class Messages;

// The application object. Handlers stop their own errors with an ActionGuard; an error that
// still escapes one ends up here as a last resort: the open transaction is rolled back, the
// error's own text is shown, and the program goes on with the next event.
class TabelApplication : public QApplication
{
public:
    TabelApplication(int& argc, char** argv);

    void setErrorReport(Messages* messages, Database* database);
    bool notify(QObject* receiver, QEvent* event) override;

    // Qt's own texts (message box buttons, the calendar, the print preview) in Russian,
    // and the Russian locale for numbers and dates whatever the machine is set to.
    void useRussian();

    // The fonts in the program's own fonts folder, which the Windows installer fills with
    // Liberation Sans: reports draw "Arial" with it, and a workstation need not have it.
    void loadOwnFonts();

    // How many errors escaped their handler and were caught here; each one is a handler that
    // lacks its guard.
    int lastResortReports() const { return m_lastResortReports; }

private:
    void report(const QString& text);

    Messages* m_messages = nullptr;
    Database* m_database = nullptr;
    int m_lastResortReports = 0;
};

} // namespace tabel

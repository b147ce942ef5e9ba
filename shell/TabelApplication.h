#pragma once

#include <QApplication>

namespace tabel {

class Database;
class Messages;

// The application object. It is also the one place where an error that no handler caught
// ends up: the open transaction is rolled back and the error's own text is shown, and the
// program goes on with the next event.
class TabelApplication : public QApplication
{
public:
    TabelApplication(int& argc, char** argv);

    void setErrorReport(Messages* messages, Database* database);
    bool notify(QObject* receiver, QEvent* event) override;

    // Qt's own texts (message box buttons, the calendar, the print preview) in Russian,
    // and the Russian locale for numbers and dates whatever the machine is set to.
    void useRussian();

private:
    void report(const QString& text);

    Messages* m_messages = nullptr;
    Database* m_database = nullptr;
};

} // namespace tabel

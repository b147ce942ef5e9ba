#pragma once

#include "shell/TabelApplication.h"
#include "support/ExceptionCrossings.h"
#include "support/ScriptedMessages.h"

#include <QObject>
#include <QTest>

namespace tabel {

class Database;

// The same safety net under every GUI test case: the windows' messages go to m_messages, a
// question the case did not script an answer for fails it, and so does an error that escaped
// its handler to the application object (a handler without its guard), or one that reached its
// guard through Qt's own frames (a signal between the guard and the work).
//
// The derived class calls startCase() in its init() and finishCase() in its cleanup(). Qt Test
// calls only the most derived init() and cleanup(), so this class cannot hook them itself, and
// any private slot declared here would be run as a test function of every derived class.
class GuiTestCase : public QObject
{
protected:
    // Forgets what the previous case was shown and told to answer, and routes an escaped error
    // to m_messages. programDatabase: the connection the program under test writes through,
    // rolled back when an error escapes, as the program's own start-up arranges.
    void startCase(Database* programDatabase = nullptr)
    {
        m_messages.reset();
        ExceptionCrossings::take();
        m_lastResortReportsBefore = application().lastResortReports();
        application().setErrorReport(&m_messages, programDatabase);
    }
    // Call before the program's database and windows go away, since the error report points at
    // them until here.
    void finishCase()
    {
        application().setErrorReport(nullptr, nullptr);
        QVERIFY2(!m_messages.unexpectedQuestion(),
                 qPrintable(m_messages.texts().join(QStringLiteral(" | "))));
        QCOMPARE(application().lastResortReports() - m_lastResortReportsBefore, 0);
        const QStringList crossings = ExceptionCrossings::take();
        QVERIFY2(crossings.isEmpty(), qPrintable(crossings.join(QStringLiteral(" | "))));
    }

    ScriptedMessages m_messages;

private:
    static TabelApplication& application()
    {
        return *static_cast<TabelApplication*>(QCoreApplication::instance());
    }

    int m_lastResortReportsBefore = 0;
};

} // namespace tabel

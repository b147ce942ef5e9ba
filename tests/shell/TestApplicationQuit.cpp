#include "common/DialogMessages.h"
#include "db/DataModule.h"
#include "shell/VersionCheck.h"
#include "shell/VersionWatch.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/TestDatabase.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace tabel;

namespace {
const QString mismatchText =
    QStringLiteral("Версия программы не соответсвует БД! Запустите программу через 5 мин.");
} // namespace

// The real ending of the process after a version mismatch: the real message box, the default
// termination, the application's own event loop. A mismatch may come before that loop runs
// (the login window's first show) or while it runs (any later check).
class TestApplicationQuit : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<DataModule> m_module;
    std::unique_ptr<VersionCheck> m_check;
    bool m_boxLeftOpen = false;
    QString m_boxText;

    // Closes a box that is still open after a long while, so that a fault fails the test
    // instead of hanging it.
    void guardOpenBox(QObject* context)
    {
        QTimer::singleShot(20000, context, [this] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                m_boxLeftOpen = true;
                box->close();
            }
        });
    }
    // The application's main loop, ended by the guard with 1 if nothing else ends it.
    int runMainLoop()
    {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        guard.start(20000);
        return QCoreApplication::exec();
    }
    // Once the box is up: notes what it says, and closes it as the user would, if asked to.
    void lookAtBoxSoon(bool close)
    {
        QTimer::singleShot(0, [this, close] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                m_boxText = box->text();
                if (close)
                    box->button(QMessageBox::Ok)->click();
            }
        });
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("quit"));
        m_db->run(QStringLiteral("update accounts_dep.ver set d = 20230830, t = 100"));
        m_module = std::make_unique<DataModule>(m_db->database());
        m_check = std::make_unique<VersionCheck>(m_db->database(), *m_module, BuildStamp{20230829, 86000});
    }
    void cleanupTestCase()
    {
        m_check.reset();
        m_module.reset();
        m_db.reset();
    }
    void init()
    {
        // A case that failed early may have left its request to end the main loop queued.
        QCoreApplication::processEvents();
        m_boxLeftOpen = false;
        m_boxText.clear();
        startCase(&m_db->database());
    }
    void cleanup() { finishCase(); }

    // Must stay first: once any loop has been ended by QCoreApplication::exit, Qt refuses to
    // start nested loops until the main loop runs again, and this case is the one where the
    // main loop has never run.
    void beforeMainLoopWithBoxLeftOpen()
    {
        DialogMessages messages;
        VersionWatch watch(*m_check, messages, m_db->database(), 200);
        guardOpenBox(&watch);
        lookAtBoxSoon(false);
        watch.check();
        QCOMPARE(m_boxText, mismatchText);
        QVERIFY2(!m_boxLeftOpen, "the delay did not close the open message box");
        QCOMPARE(runMainLoop(), 0);
    }

    void whileMainLoopRuns_data()
    {
        QTest::addColumn<bool>("userClosesBox");
        QTest::newRow("box closed by the user") << true;
        QTest::newRow("box left open") << false;
    }
    void whileMainLoopRuns()
    {
        QFETCH(bool, userClosesBox);
        DialogMessages messages;
        VersionWatch watch(*m_check, messages, m_db->database(), userClosesBox ? 5000 : 200);
        QTimer::singleShot(0, &watch, [&] {
            guardOpenBox(&watch);
            lookAtBoxSoon(userClosesBox);
            watch.check();
        });
        QCOMPARE(runMainLoop(), 0);
        QCOMPARE(m_boxText, mismatchText);
        QVERIFY2(!m_boxLeftOpen, "the delay did not close the open message box");
        QVERIFY(watch.mismatchFound());
    }
};

TABEL_GUI_TEST_MAIN(TestApplicationQuit)
#include "TestApplicationQuit.moc"

#include "common/Clock.h"
#include "report_engine/ReportPreview.h"
#include "reports/ReportsWindow.h"
#include "shell/ApplicationShell.h"
#include "shell/LoginWindow.h"
#include "spreadsheet/RecordingSpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"
#include "support/Actions.h"
#include "support/DateBoxProbe.h"
#include "support/GuiTestMain.h"
#include "support/ModalDriver.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace tabel;

namespace {

const char* const fixture = R"(
delete from accounts_dep.ver; insert into accounts_dep.ver (d, t, delim) values (20240301, 3600, '.');
insert into cmn_contractor.person (id, s_caption, s_code) values (1, 'Иванов Иван', '1');
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_name, s_description, id_msm_bs, massa) values
  (10, 'А-100', 'Болт', '', 6, 0.25);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка'), (2, 'Сварка');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values (100, 1, 0, 10, 0), (101, 2, 1, 10, 0);
insert into accounts_dep.smena (data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, ok) values
  ('2023-11-30', 1, 1, 10, 100, 2, 10, 0, 1, 4, 'no'), ('2023-11-02', 1, 1, 10, 100, 2, 5, 0, 0, 4, 'no'),
  ('2023-11-03', 1, 1, 10, 101, 100, 3, 0, 0, 4, 'no');
)";

const QStringList buttonNames{"Button1", "Button2", "Button3", "Button4", "Button5", "Button6"};

// Stands in for the desktop and looks at the window at the moment the workbook is handed over.
class ObservingViewer : public RecordingSpreadsheetViewer
{
public:
    std::function<void()> onOpen;
    void open(const QString& path) override
    {
        if (onOpen)
            onOpen();
        RecordingSpreadsheetViewer::open(path);
    }
};

QStringList enabledButtons(const QWidget& window)
{
    QStringList enabled;
    for (const QString& name : buttonNames)
        if (window.findChild<QPushButton*>(name)->isEnabled())
            enabled.append(name);
    return enabled;
}

QString pdfText(const QString& path)
{
    QProcess process;
    process.start("pdftotext", {"-layout", path, "-"});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

} // namespace

class TestReportsWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    ScriptedMessages m_messages;
    QTemporaryDir m_folder;

    struct Window
    {
        ObservingViewer viewer;
        std::unique_ptr<SpreadsheetWriter> writer;
        std::unique_ptr<ReportsWindow> window;
    };
    std::unique_ptr<Window> makeWindow(const QString& writerFolder)
    {
        auto made = std::make_unique<Window>();
        made->writer = std::make_unique<SpreadsheetWriter>(m_messages, made->viewer, writerFolder);
        made->window = std::make_unique<ReportsWindow>(m_db->database(), m_messages, *made->writer);
        made->window->setPeriod({QDate(2023, 11, 1), QDate(2023, 12, 1)});
        return made;
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("reports_window"));
        m_db->run(QString::fromUtf8(fixture));
        m_messages.clear();
    }
    void cleanup() { m_db.reset(); }

    void bothDatesStayWhereTheUserPutsThem()
    {
        const auto made = makeWindow(m_folder.path());
        ReportsWindow& window = *made->window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* exit = window.findChild<QPushButton*>("Button6");
        const QList<std::pair<const char*, std::function<QDate()>>> boxes = {
            {"DateTimePicker1", [&] { return window.period().from; }},
            {"DateTimePicker2", [&] { return window.period().to; }}};
        for (const auto& [name, taken] : boxes) {
            auto* box = window.findChild<QDateEdit*>(name);
            const QDate shown = box->date();
            const QList<QPoint> moved = dateprobe::pixelsThatMoveTheDate(*box);
            QVERIFY2(moved.isEmpty(),
                     qPrintable(QString::fromLatin1(name) + ": " + dateprobe::describe(moved)));
            exit->setFocus();
            dateprobe::turnWheel(*box, 1);
            QCOMPARE(box->date(), shown);
            const QStringList wrong = dateprobe::mistypedDates(*box, *exit, [&, taken = taken] {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                return taken();
            });
            QVERIFY2(wrong.isEmpty(), qPrintable(QString::fromLatin1(name) + ": " + wrong.join("; ")));
        }
        QVERIFY(m_messages.shown().isEmpty());
    }

    void menuOpensTheWindowOnThePreviousMonthUnderTheRolesRules_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<bool>("kindChoiceOn");
        QTest::addColumn<int>("kind");
        QTest::newRow("econom in January: December before")
            << "econom" << QDate(2024, 1, 15) << QDate(2023, 12, 1) << buttonNames << true << 0;
        QTest::newRow("masters: one report") << "masters" << QDate(2024, 3, 31) << QDate(2024, 2, 1)
                                             << QStringList{"Button4", "Button6"} << true << 0;
        QTest::newRow("sklad: finished products, fixed") << "sklad" << QDate(2024, 3, 1) << QDate(2024, 2, 1)
                                                         << QStringList{"Button4", "Button6"} << false << 1;
    }
    void menuOpensTheWindowOnThePreviousMonthUnderTheRolesRules()
    {
        QFETCH(QString, word);
        QFETCH(QDate, today);
        QFETCH(QDate, from);
        QFETCH(QStringList, enabled);
        QFETCH(bool, kindChoiceOn);
        QFETCH(int, kind);
        FixedClock clock(today);
        ApplicationShell shell(m_messages, clock, {20240301, 3600}, {});
        QVERIFY(shell.start({m_db->settings().database, m_db->settings().host}));
        ModalDriver driver;
        bool inspected = false;
        driver.onNextModal([&](QWidget* main) {
            driver.whenOpen(
                [&](QWidget* window) {
                    inspected = true;
                    QCOMPARE(window->objectName(), QString("TForm18"));
                    QCOMPARE(window->windowTitle(), QString("Отчеты"));
                    QCOMPARE(window->findChild<QDateEdit*>("DateTimePicker1")->date(), from);
                    QCOMPARE(window->findChild<QDateEdit*>("DateTimePicker2")->date(), from.addMonths(1));
                    QCOMPARE(enabledButtons(*window), enabled);
                    QCOMPARE(window->findChild<QGroupBox*>("RadioGroup1")->isEnabled(), kindChoiceOn);
                    QVERIFY(
                        window->findChild<QRadioButton*>(QString("productKind%1").arg(kind))->isChecked());
                },
                main);
            QVERIFY(triggerAction(*main, "summaryReportsAction"));
            static_cast<QDialog*>(main)->reject();
        });
        QLineEdit* box = shell.loginWindow().passwordBox();
        QTest::keyClicks(box, word);
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(inspected);
        QVERIFY(!driver.failed());
        QVERIFY(m_messages.shown().isEmpty());
    }

    void summaryOpensInItsPreviewWithThePeriodAndKind()
    {
        auto made = makeWindow(m_folder.path());
        made->window->setProductKindChoice(1);
        const QString pdf = m_folder.filePath("by-workers.pdf");
        ModalDriver driver;
        QString caption;
        QString suggested;
        driver.whenOpen([&](QWidget* modal) {
            auto* preview = qobject_cast<ReportPreview*>(modal);
            QVERIFY(preview);
            caption = preview->windowTitle();
            QVERIFY(preview->windowState() & Qt::WindowMaximized);
            preview->setPdfFileQuestion([&](QWidget*, const QString& name) {
                suggested = name;
                return pdf;
            });
            preview->saveToPdf();
        });
        QTest::mouseClick(made->window->findChild<QPushButton*>("Button1"), Qt::LeftButton);
        QVERIFY(!driver.failed());
        QCOMPARE(caption, QString("Отчет по рабочим 01.11.2023-01.12.2023"));
        QCOMPARE(suggested, QString("Отчет по рабочим 01.11.2023-01.12.2023.pdf"));
        const QString text = pdfText(pdf);
        // Finished products only: 15 pieces at 2 make 30; the blank's 300 stays out.
        for (const QString& expected : QStringList{"Отчет по рабочим за период с 01.11.2023 по 01.12.2023",
                                                   "Иванов Иван", "(грунт)", "Итого: 30,00"})
            QVERIFY2(text.contains(expected), qPrintable(expected + " not in: " + text));
        QVERIFY2(!text.contains("Заготовки"), qPrintable(text));
        QVERIFY(m_messages.shown().isEmpty());
    }

    void exportCountsInItsCaptionWithTheButtonsOff()
    {
        auto made = makeWindow(m_folder.path());
        made->window->setProductKindChoice(1);
        QStringList enabledMeanwhile{"not asked"};
        bool busyMeanwhile = false;
        made->viewer.onOpen = [&] {
            enabledMeanwhile = enabledButtons(*made->window);
            busyMeanwhile = QGuiApplication::overrideCursor() != nullptr;
        };
        auto* button = made->window->findChild<QPushButton*>("Button5");
        QCOMPARE(button->text(), QString("Excel (0 из 0)"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(made->viewer.opened().size(), 1);
        QCOMPARE(button->text(), QString("Excel (2 из 2)"));
        QCOMPARE(enabledMeanwhile, QStringList{});
        QVERIFY(busyMeanwhile);
        QCOMPARE(enabledButtons(*made->window), buttonNames);
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(m_messages.shown().isEmpty());
    }

    void failureEndsTheActionAndLeavesTheWindowUsable_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("tableMissing");
        QTest::addColumn<QString>("writerFolder");
        QTest::addColumn<QString>("message");
        QTest::newRow("summary over a broken statement") << "Button2" << true << ""
                                                         << "vid_oper";
        QTest::newRow("export over a broken statement") << "Button5" << true << ""
                                                        << "vid_oper";
        QTest::newRow("export without a workbook") << "Button5" << false << "no/such/folder"
                                                   << "Невозможно открыть Microsoft Excel.";
    }
    void failureEndsTheActionAndLeavesTheWindowUsable()
    {
        QFETCH(QString, button);
        QFETCH(bool, tableMissing);
        QFETCH(QString, writerFolder);
        QFETCH(QString, message);
        if (tableMissing)
            m_db->run("alter table accounts_dep.vid_oper rename to vid_oper_gone");
        auto made = makeWindow(m_folder.filePath(writerFolder));
        QTest::mouseClick(made->window->findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(m_messages.shown().size(), 1);
        const Message& shown = m_messages.shown().first();
        QVERIFY2((shown.text + shown.detail).contains(message), qPrintable(shown.text + shown.detail));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(made->viewer.opened().isEmpty());
        QCOMPARE(enabledButtons(*made->window), buttonNames);
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(made->window->findChild<QPushButton*>("Button5")->text(), QString("Excel (0 из 0)"));
    }
};

TABEL_GUI_TEST_MAIN(TestReportsWindow)
#include "TestReportsWindow.moc"

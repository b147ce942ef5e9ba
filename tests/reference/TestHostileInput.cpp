#include "common/OneLineTextValidator.h"
#include "db/DataModule.h"
#include "reference/OperationTypeEditor.h"
#include "reference/ProductEditor.h"
#include "reference/WorkerEditor.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/TestDatabase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tabel;

namespace {
const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two UTF-16 units
}

// Text pasted into the one-line boxes of the editors as a careless or hostile user would:
// what reaches the database is what the user can see, whole characters only, and nothing the
// server refuses.
class TestHostileInput : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<DataModule> m_module;

    // Pastes text into the editor's first box and saves; what the database then holds.
    QString pasteAndSave(QDialog& editor, const QString& text, const QString& column, const QString& table)
    {
        auto* box = editor.findChild<QLineEdit*>(QStringLiteral("Edit1"));
        box->clear();
        box->insert(text);
        editor.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        return m_db->database()
            .readValue(QStringLiteral("select %1 as v from %2 order by id desc limit 1").arg(column, table),
                       QStringLiteral("v"))
            .toString();
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("hostile"));
        m_module = std::make_unique<DataModule>(m_db->database());
        startCase(&m_db->database());
    }
    void cleanup()
    {
        finishCase();
        m_module.reset();
        m_db.reset();
    }

    void cleanedText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("kept");
        QTest::newRow("plain") << "Иванов" << 10 << "Иванов";
        QTest::newRow("tab and line breaks") << "Иванов\tИван\r\nИванович" << 50 << "ИвановИванИванович";
        QTest::newRow("NUL") << QString::fromUtf16(u"Ива\u0000нов", 7) << 50 << "Иванов";
        QTest::newRow("line separator") << QString::fromUtf16(u"а\u2028б") << 50 << "аб";
        QTest::newRow("cut at the limit") << "абвгд" << 3 << "абв";
        QTest::newRow("emoji at the limit is kept whole") << ("аб" + emoji) << 3 << ("аб" + emoji);
        QTest::newRow("emoji past the limit is left out whole") << ("абв" + emoji) << 3 << "абв";
        QTest::newRow("no limit") << QString(300, QLatin1Char('x')) << -1 << QString(300, QLatin1Char('x'));
    }
    void cleanedText()
    {
        QFETCH(QString, typed);
        QFETCH(int, limit);
        QFETCH(QString, kept);
        QCOMPARE(OneLineTextValidator::cleaned(typed, limit), kept);
    }

    // Through the real editors, each box with its own column's limit.
    void pastedIntoTheEditors()
    {
        WorkerEditor workers(m_db->database(), m_messages);
        workers.prepareAdd();
        workers.show();
        const QString longName = QString(253, QChar(0x0436)) + emoji + QStringLiteral("хвост");
        QCOMPARE(pasteAndSave(workers, longName, QStringLiteral("s_caption"),
                              QStringLiteral("cmn_contractor.person")),
                 QString(253, QChar(0x0436)) + emoji);
        workers.prepareAdd();
        workers.show();
        QCOMPARE(pasteAndSave(workers, QStringLiteral("Петров\tПётр\n"), QStringLiteral("s_caption"),
                              QStringLiteral("cmn_contractor.person")),
                 QStringLiteral("ПетровПётр"));

        OperationTypeEditor types(*m_module, m_messages);
        types.prepareAdd();
        types.show();
        const QString longType = QString(49, QChar(0x0440)) + emoji + emoji;
        QCOMPARE(
            pasteAndSave(types, longType, QStringLiteral("vid"), QStringLiteral("accounts_dep.vid_oper")),
            QString(49, QChar(0x0440)) + emoji);
        QVERIFY(m_messages.shown().isEmpty());
    }

    void rateBeyondItsColumnIsRefused()
    {
        m_db->run(QStringLiteral(
            "insert into cmn_classifier.item (id, s_caption, id_level) values (1, 'Изделия', 2)"));
        ProductEditor products(*m_module, m_messages);
        products.prepareAdd();
        products.show();
        products.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("А-1"));
        products.findChild<QLineEdit*>(QStringLiteral("Edit2"))
            ->setText(QStringLiteral("99999999999999999999999"));
        auto* classes = products.findChild<QComboBox*>(QStringLiteral("cb_item"));
        QCOMPARE(classes->count(), 1);
        classes->setCurrentIndex(0);
        products.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        QCOMPARE(m_messages.texts(), QStringList{QStringLiteral("Расценка слишком велика!")});
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.izdel")), 0);
    }
};

TABEL_GUI_TEST_MAIN(TestHostileInput)
#include "TestHostileInput.moc"

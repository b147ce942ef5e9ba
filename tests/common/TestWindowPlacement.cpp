#include "common/WindowPlacement.h"

#include <QDialog>
#include <QTest>
#include <QVBoxLayout>

using namespace tabel;

namespace {
// Placed as every editor of the program places itself.
class Editor : public QDialog
{
public:
    using QDialog::QDialog;

protected:
    void showEvent(QShowEvent* event) override
    {
        QDialog::showEvent(event);
        centreOnOpener(*this);
    }
};
} // namespace

class TestWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void aDialogOpensCentredOnItsOpenerEveryTime()
    {
        QWidget opener;
        opener.setWindowTitle(QStringLiteral("Табель"));
        opener.setGeometry(120, 90, 900, 560);
        opener.show();
        QVERIFY(QTest::qWaitForWindowExposed(&opener));
        Editor editor(&opener);
        editor.setWindowTitle(QStringLiteral("Заведение новой позиции"));
        editor.setFixedSize(420, 260);

        QList<QRect> openings;
        for (int opening = 0; opening < 3; ++opening) {
            editor.show();
            QVERIFY(QTest::qWaitForWindowExposed(&editor));
            QCoreApplication::processEvents();
            openings << editor.geometry();
            editor.hide();
            QCoreApplication::processEvents();
        }
        for (const QRect& placed : openings)
            QCOMPARE(placed, openings.first());
        const QPoint offCentre = openings.first().center() - opener.geometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 1,
                 qPrintable(QStringLiteral("off by %1,%2").arg(offCentre.x()).arg(offCentre.y())));
    }
};

QTEST_MAIN(TestWindowPlacement)
#include "TestWindowPlacement.moc"

#include "reports/ReportsWindow.h"

#include "common/BusyCursor.h"
#include "common/DateBox.h"
#include "common/WindowPlacement.h"
#include "db/Database.h"
#include "report_engine/PreparedReport.h"
#include "report_engine/ReportPreview.h"
#include "reports/ProductKind.h"
#include "reports/ProductionSummaryExport.h"
#include "reports/SummaryReportBuilder.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tabel {

namespace {

constexpr int repaintIntervalMilliseconds = 100;

QFont boldOf(QFont font)
{
    font.setBold(true);
    return font;
}

// Set explicitly, so that the children of a bold group do not inherit its weight.
QFont regularOf(QFont font)
{
    font.setBold(false);
    return font;
}

QDateEdit* datePicker(const QString& objectName)
{
    auto* picker = new DateBox;
    picker->setObjectName(objectName);
    return picker;
}

} // namespace

ReportsWindow::ReportsWindow(Database& database, Messages& messages, SpreadsheetWriter& writer,
                             QWidget* parent)
    : QDialog(parent), m_database(database), m_writer(writer), m_guard(messages, database)
{
    setObjectName(QStringLiteral("TForm18"));
    setWindowTitle(QStringLiteral("Отчеты"));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(buildKindChoice());
    layout->addWidget(buildPeriod());
    m_byWorkers = addButton(QStringLiteral("Отчет по рабочим"), QStringLiteral("Button1"));
    m_byProducts = addButton(QStringLiteral("Отчет по продукции"), QStringLiteral("Button2"));
    m_detailedByWorkers = addButton(QStringLiteral("Детальный отчет по рабочим"), QStringLiteral("Button3"));
    m_detailedByProducts =
        addButton(QStringLiteral("Детальный отчет по продукции"), QStringLiteral("Button4"));
    m_export = addButton(QStringLiteral("Excel (0 из 0)"), QStringLiteral("Button5"));
    m_exit = addButton(QStringLiteral("Выход"), QStringLiteral("Button6"));
    // 180 wide at least, wider where the Russian captions need it under a Linux font.
    setMinimumWidth(180);

    connect(m_byWorkers, &QPushButton::clicked, this,
            m_guard.slot([this] { openSummary(SummaryReportKind::ByWorkers); }));
    connect(m_byProducts, &QPushButton::clicked, this,
            m_guard.slot([this] { openSummary(SummaryReportKind::ByProducts); }));
    connect(m_detailedByWorkers, &QPushButton::clicked, this,
            m_guard.slot([this] { openSummary(SummaryReportKind::DetailedByWorkers); }));
    connect(m_detailedByProducts, &QPushButton::clicked, this,
            m_guard.slot([this] { openSummary(SummaryReportKind::DetailedByProducts); }));
    connect(m_export, &QPushButton::clicked, this, m_guard.slot([this] { exportProductionSummary(); }));
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
}

void ReportsWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOpener(*this);
}

QGroupBox* ReportsWindow::buildKindChoice()
{
    m_kindBox = new QGroupBox(QStringLiteral("Вид продукции"));
    m_kindBox->setObjectName(QStringLiteral("RadioGroup1"));
    m_kindBox->setFont(boldOf(font()));
    auto* column = new QVBoxLayout(m_kindBox);
    m_kindChoice = new QButtonGroup(this);
    const QStringList entries{QStringLiteral("Все"), QStringLiteral("Готовая продукция"),
                              QStringLiteral("Заготовки")};
    for (int index = 0; index < entries.size(); ++index) {
        auto* entry = new QRadioButton(entries.at(index));
        entry->setObjectName(QStringLiteral("productKind%1").arg(index));
        entry->setFont(regularOf(font())); // only the caption is bold
        m_kindChoice->addButton(entry, index);
        column->addWidget(entry);
    }
    m_kindChoice->button(AllProducts)->setChecked(true);
    return m_kindBox;
}

QGroupBox* ReportsWindow::buildPeriod()
{
    auto* box = new QGroupBox(QStringLiteral("Период отбора"));
    box->setObjectName(QStringLiteral("GroupBox1"));
    box->setFont(boldOf(font()));
    auto* form = new QFormLayout(box);
    m_from = datePicker(QStringLiteral("DateTimePicker1"));
    m_to = datePicker(QStringLiteral("DateTimePicker2"));
    for (auto [text, picker] :
         {std::pair{QStringLiteral("с"), m_from}, std::pair{QStringLiteral("по"), m_to}}) {
        auto* label = new QLabel(text);
        label->setBuddy(picker);
        label->setFont(regularOf(font()));
        picker->setFont(regularOf(font()));
        form->addRow(label, picker);
    }
    return box;
}

QPushButton* ReportsWindow::addButton(const QString& text, const QString& objectName)
{
    auto* button = new QPushButton(text);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    layout()->addWidget(button);
    return button;
}

void ReportsWindow::applyAccess(const ReportsWindowAccess& access)
{
    m_access = access;
    setButtonsEnabled(true);
    if (access.forcedProductKind)
        setProductKindChoice(*access.forcedProductKind);
    m_kindBox->setEnabled(access.productKindChoice);
}

void ReportsWindow::setButtonsEnabled(bool enabled)
{
    m_byWorkers->setEnabled(enabled && m_access.byWorkers);
    m_byProducts->setEnabled(enabled && m_access.byProducts);
    m_detailedByWorkers->setEnabled(enabled && m_access.detailedByWorkers);
    m_detailedByProducts->setEnabled(enabled && m_access.detailedByProducts);
    m_export->setEnabled(enabled && m_access.spreadsheetExport);
    m_exit->setEnabled(enabled);
}

void ReportsWindow::setPeriod(const ReportPeriod& period)
{
    m_from->setDate(period.from);
    m_to->setDate(period.to);
}

ReportPeriod ReportsWindow::period() const
{
    return {m_from->date(), m_to->date()};
}

void ReportsWindow::setProductKindChoice(int choice)
{
    if (QAbstractButton* entry = m_kindChoice->button(choice))
        entry->setChecked(true);
}

int ReportsWindow::productKindChoice() const
{
    return m_kindChoice->checkedId();
}

void ReportsWindow::openSummary(SummaryReportKind kind)
{
    const SummaryReportForm form = summaryReportForm(kind);
    std::unique_ptr<PreparedReport> report;
    {
        BusyCursor busy;
        report = SummaryReportBuilder(m_database).prepare(form, period(), productKindChoice());
    }
    ReportPreview preview(*report, periodDocumentName(form.caption, period()), this);
    preview.exec();
}

void ReportsWindow::exportProductionSummary()
{
    // The caption shows the progress, so the window repaints now and then; its buttons are off
    // meanwhile, so that the repaint cannot start another action inside this one.
    setButtonsEnabled(false);
    struct Restore
    {
        ReportsWindow* window;
        ~Restore() { window->setButtonsEnabled(true); }
    } restore{this};
    BusyCursor busy;
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    ProductionSummaryExport summary(m_database, m_writer);
    summary.setProgress([this, &sinceRepaint](int written, int total) {
        m_export->setText(QStringLiteral("Excel (%1 из %2)").arg(written).arg(total));
        if (written == 0 || written == total || sinceRepaint.elapsed() >= repaintIntervalMilliseconds) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sinceRepaint.restart();
        }
    });
    summary.run(period(), productKindChoice());
}

} // namespace tabel

#include "timesheet/TimesheetWindow.h"

#include "common/BusyCursor.h"
#include "common/Clock.h"
#include "common/QueryGrid.h"
#include "common/WindowPlacement.h"
#include "db/DataModule.h"
#include "report_engine/PreparedReport.h"
#include "report_engine/ReportPreview.h"
#include "report_engine/SqlQueryRowSource.h"
#include "timesheet/LedgerCheckWindow.h"
#include "timesheet/MonthRebuild.h"
#include "timesheet/MonthlySummary.h"
#include "timesheet/TimesheetCellDelegates.h"
#include "timesheet/TimesheetExport.h"
#include "timesheet/TimesheetPrintLayout.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace tabel {

namespace {
// The year the program was first used; every working date since has its year in the list.
constexpr int firstYear = 2007;
constexpr int days = MonthlySummary::days;

QString dayField(int day)
{
    return QStringLiteral("d%1").arg(day);
}

QList<GridColumn> ledgerColumns()
{
    QList<GridColumn> columns = {{QStringLiteral("fio"), QStringLiteral("Фамилия И. О."), 208}};
    for (int day = 1; day <= days; ++day)
        columns.append({dayField(day), QString::number(day), 20, Qt::AlignCenter});
    columns.append({QStringLiteral("summ"), QStringLiteral("Итого"), 47, Qt::AlignCenter});
    return columns;
}
} // namespace

TimesheetWindow::TimesheetWindow(DataModule& dataModule, Messages& messages, const Clock& clock,
                                 SpreadsheetWriter& writer, QWidget* parent)
    : QDialog(parent), m_dataModule(dataModule), m_messages(messages), m_writer(writer),
      m_guard(messages, dataModule.database())
{
    setObjectName(QStringLiteral("TForm19"));
    setWindowTitle(QStringLiteral("Табель по времени"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    for (int shift = 1; shift <= 3; ++shift)
        m_tabs->addTab(buildShiftPage(shift), QStringLiteral("Смена №%1").arg(shift));

    m_print = new QPushButton(QStringLiteral("Печать"), this);
    m_print->setObjectName(QStringLiteral("printButton"));
    m_month = new QComboBox(this);
    m_month->setObjectName(QStringLiteral("monthBox"));
    m_month->addItems(monthNames());
    m_month->setCurrentIndex(0);
    auto* monthLabel = new QLabel(QStringLiteral("&Месяц:"), this);
    monthLabel->setBuddy(m_month);
    m_year = new QComboBox(this);
    m_year->setObjectName(QStringLiteral("yearBox"));
    for (int year = firstYear; year <= std::max(firstYear, clock.today().year()); ++year)
        m_year->addItem(QString::number(year));
    m_year->setCurrentIndex(-1);
    auto* yearLabel = new QLabel(QStringLiteral("&Год:"), this);
    yearLabel->setBuddy(m_year);
    m_refresh = new QPushButton(QStringLiteral("Обновить"), this);
    m_refresh->setObjectName(QStringLiteral("refreshButton"));
    m_exit = new QPushButton(QStringLiteral("Выход"), this);
    m_exit->setObjectName(QStringLiteral("exitButton"));
    for (QPushButton* button : {m_print, m_refresh, m_exit})
        button->setAutoDefault(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_print);
    bottom->addSpacing(16);
    bottom->addWidget(monthLabel);
    bottom->addWidget(m_month);
    bottom->addWidget(yearLabel);
    bottom->addWidget(m_year);
    bottom->addWidget(m_refresh);
    bottom->addStretch(1);
    bottom->addWidget(m_exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(bottom);

    connect(m_print, &QPushButton::clicked, this, m_guard.slot([this] { print(); }));
    connect(m_refresh, &QPushButton::clicked, this, m_guard.slot([this] {
        BusyCursor busy;
        closeLedgers();
        openLedgers();
    }));
    connect(m_exit, &QPushButton::clicked, this, &TimesheetWindow::reject);
    connect(m_month, &QComboBox::currentIndexChanged, this, m_guard.slot([this] { applyMonth(); }));
    connect(m_year, &QComboBox::currentIndexChanged, this, m_guard.slot([this] { applyMonth(); }));
    connect(m_rebuild, &QPushButton::clicked, this, [this] { rebuild(); });
    connect(m_check, &QPushButton::clicked, this, [this] { checkLedger(); });
    m_checkWindow = new LedgerCheckWindow(dataModule.database(), messages, writer, this);
    connect(m_checkWindow, &LedgerCheckWindow::monthRebuilt, this, m_guard.slot([this] {
        closeLedgers();
        openLedgers();
    }));
    connect(m_excel, &QPushButton::clicked, this, m_guard.slot([this] { exportToSpreadsheet(); }));
    resize(946, 577);
}

TimesheetWindow::~TimesheetWindow() = default;

QWidget* TimesheetWindow::buildShiftPage(int shift)
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("TabSheet%1").arg(shift));
    auto* grid = new QTableView(page);
    grid->setObjectName(QStringLiteral("DBGrid%1").arg(shift));
    grid->setAccessibleName(QStringLiteral("Табель, смена №%1").arg(shift));
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    grid->horizontalHeader()->setMinimumSectionSize(16);
    auto* gridLayout = new QueryGrid(*grid, ledgerColumns());
    for (int day = 1; day <= days; ++day) {
        auto* delegate = new TimesheetDayDelegate;
        gridLayout->setDelegate(dayField(day), delegate);
        m_dayDelegates[shift - 1][day - 1] = delegate;
    }
    gridLayout->setDelegate(QStringLiteral("summ"), new TimesheetTotalDelegate);
    gridLayout->setDelegate(QStringLiteral("fio"), new TimesheetNameDelegate);
    gridLayout->show(m_dataModule.timesheetRows(shift));
    m_grids[shift - 1] = grid;
    m_gridLayouts[shift - 1] = gridLayout;

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(grid, 1);
    if (shift == 1) {
        m_rebuild = new QPushButton(QStringLiteral("Перестроить"), page);
        m_rebuild->setObjectName(QStringLiteral("rebuildButton"));
        m_progress = new QProgressBar(page);
        m_progress->setObjectName(QStringLiteral("ProgressBar1"));
        m_progress->setMinimum(1);
        m_progress->hide();
        m_check = new QPushButton(QStringLiteral("Сверка"), page);
        m_check->setObjectName(QStringLiteral("checkButton"));
        m_excel = new QPushButton(QStringLiteral("Excel"), page);
        m_excel->setObjectName(QStringLiteral("excelButton"));
        for (QPushButton* button : {m_rebuild, m_check, m_excel})
            button->setAutoDefault(false);
        auto* row = new QHBoxLayout;
        row->addWidget(m_rebuild);
        row->addWidget(m_check);
        row->addWidget(m_progress, 1);
        row->addStretch(0);
        row->addWidget(m_excel);
        layout->addLayout(row);
    }
    return page;
}

int TimesheetWindow::month() const
{
    return m_month->currentIndex() + 1;
}

int TimesheetWindow::year() const
{
    return m_year->currentIndex() < 0 ? 0 : m_year->currentText().toInt();
}

void TimesheetWindow::preset(const QDate& date)
{
    {
        const QSignalBlocker monthBlocker(m_month);
        const QSignalBlocker yearBlocker(m_year);
        m_month->setCurrentIndex(date.month() - 1);
        const int index = date.year() - firstYear;
        m_year->setCurrentIndex(std::clamp(index, 0, m_year->count() - 1));
    }
    applyMonth();
}

void TimesheetWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOpener(*this);
    activate();
}

void TimesheetWindow::activate()
{
    m_excel->setText(QStringLiteral("Excel"));
}

void TimesheetWindow::reject()
{
    // The export hands control to pending events after each row; the window must outlive it.
    if (m_exporting)
        return;
    QDialog::reject();
}

void TimesheetWindow::applyMonth()
{
    BusyCursor busy;
    closeLedgers();
    openLedgers();
}

void TimesheetWindow::closeLedgers()
{
    for (int shift = 1; shift <= 3; ++shift)
        m_dataModule.timesheetRows(shift).close();
}

void TimesheetWindow::openLedgers()
{
    if (year() == 0)
        return;
    const QDate firstDay(year(), month(), 1);
    for (int shift = 1; shift <= 3; ++shift) {
        StaticQuery& rows = m_dataModule.timesheetRows(shift);
        rows.close();
        rows.setParameter(QStringLiteral(":mnth"), month());
        rows.setParameter(QStringLiteral(":yea"), year());
        rows.open();
        colourDayColumns(shift, firstDay);
    }
}

void TimesheetWindow::colourDayColumns(int shift, const QDate& firstDay)
{
    StaticQuery& rows = m_dataModule.timesheetRows(shift);
    QAbstractItemModel* model = rows.model();
    const int monthDays = firstDay.daysInMonth();
    for (int day = 1; day <= days; ++day) {
        const bool inMonth = day <= monthDays;
        const bool weekend = inMonth && firstDay.addDays(day - 1).dayOfWeek() >= Qt::Saturday;
        m_dayDelegates[shift - 1][day - 1]->setDay(weekend, inMonth);
        QVariant title;
        if (weekend)
            title = TimesheetDayDelegate::weekendColour();
        else if (!inMonth)
            title = TimesheetDayDelegate::zeroColour();
        model->setHeaderData(rows.fieldIndex(dayField(day)), Qt::Horizontal, title, Qt::ForegroundRole);
    }
    m_grids[shift - 1]->viewport()->update();
}

void TimesheetWindow::rebuild()
{
    if (year() == 0)
        return;
    m_guard.run([this] {
        closeLedgers();
        m_progress->setRange(1, MonthRebuild::steps);
        m_progress->setValue(1);
        m_progress->show();
        m_progress->repaint();
        BusyCursor busy;
        MonthRebuild(m_dataModule.database()).run(month(), year(), [this](int step, int) {
            m_progress->setValue(step);
            m_progress->repaint();
        });
    });
    // Whether the rebuild landed or not, the grids show what the ledger now holds.
    m_guard.run([this] { openLedgers(); });
    m_progress->hide();
}

void TimesheetWindow::checkLedger()
{
    if (year() == 0)
        return;
    if (m_guard.run([this] { m_checkWindow->check(month(), year()); }))
        m_checkWindow->exec();
    activate();
}

void TimesheetWindow::setControlsEnabled(bool enabled)
{
    for (QWidget* control : std::initializer_list<QWidget*>{m_rebuild, m_check, m_excel, m_print, m_month,
                                                            m_year, m_refresh, m_exit, m_tabs->tabBar()})
        control->setEnabled(enabled);
}

void TimesheetWindow::exportToSpreadsheet()
{
    if (year() == 0)
        return;
    struct Running
    {
        TimesheetWindow& window;
        BusyCursor busy;
        explicit Running(TimesheetWindow& w) : window(w)
        {
            window.m_exporting = true;
            window.setControlsEnabled(false);
        }
        ~Running()
        {
            window.setControlsEnabled(true);
            window.m_exporting = false;
        }
    } running(*this);
    TimesheetExport(m_dataModule.database(), m_writer).run(month(), year(), [this](int written, int total) {
        m_excel->setText(QStringLiteral("Excel (%1 из %2)").arg(written).arg(total));
        // Lets the caption repaint and the window answer; its controls are off meanwhile.
        QCoreApplication::processEvents();
    });
}

void TimesheetWindow::print()
{
    if (year() == 0)
        return;
    std::unique_ptr<PreparedReport> report;
    {
        BusyCursor busy;
        const QString title = TimesheetPrintLayout::title(m_month->currentText(), year());
        report = std::make_unique<PreparedReport>(TimesheetPrintLayout::definition(title),
                                                  std::make_shared<SqlQueryRowSource>(MonthlySummary::open(
                                                      m_dataModule.database(), month(), year())));
    }
    ReportPreview preview(*report, TimesheetPrintLayout::documentName(m_month->currentText(), year()), this);
    preview.exec();
    activate();
}

} // namespace tabel

#include "timesheet/LedgerCheckWindow.h"

#include "common/BusyCursor.h"
#include "common/WindowPlacement.h"
#include "db/Database.h"
#include "timesheet/LedgerCheckExport.h"
#include "timesheet/MonthRebuild.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace tabel {

namespace {
constexpr int nameColumn = 0;
constexpr int kindColumn = 5;
} // namespace

LedgerCheckWindow::LedgerCheckWindow(Database& database, Messages& messages, SpreadsheetWriter& writer,
                                     QWidget* parent)
    : QDialog(parent), m_database(database), m_writer(writer), m_guard(messages, database)
{
    setObjectName(QStringLiteral("LedgerCheckWindow"));
    setWindowTitle(QStringLiteral("Сверка табеля"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summaryLabel"));
    m_summary->setWordWrap(true);
    m_model = new QStandardItemModel(0, int(LedgerCheckResult::columnTitles().size()), this);
    m_model->setHorizontalHeaderLabels(LedgerCheckResult::columnTitles());
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("differencesGrid"));
    m_list->setAccessibleName(QStringLiteral("Расхождения табеля с записями"));
    m_list->setModel(m_model);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnWidth(nameColumn, 208);
    for (int column = nameColumn + 1; column < kindColumn; ++column)
        m_list->setColumnWidth(column, 80);
    // The summary names the list, so that a screen reader reads them together.
    m_summary->setBuddy(m_list);

    m_rebuild = new QPushButton(QStringLiteral("Перестроить месяц"), this);
    m_rebuild->setObjectName(QStringLiteral("rebuildMonthButton"));
    m_excel = new QPushButton(QStringLiteral("Excel"), this);
    m_excel->setObjectName(QStringLiteral("excelButton"));
    m_close = new QPushButton(QStringLiteral("Закрыть"), this);
    m_close->setObjectName(QStringLiteral("closeButton"));
    for (QPushButton* button : {m_rebuild, m_excel, m_close})
        button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_rebuild);
    buttons->addWidget(m_excel);
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_rebuild, &QPushButton::clicked, this, m_guard.slot([this] { rebuild(); }));
    connect(m_excel, &QPushButton::clicked, this, m_guard.slot([this] {
        BusyCursor busy;
        LedgerCheckExport(m_writer).run(m_result);
    }));
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    resize(760, 480);
}

void LedgerCheckWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOpener(*this);
}

void LedgerCheckWindow::check(int month, int year)
{
    {
        BusyCursor busy;
        m_result = LedgerCheck(m_database).run(month, year);
    }
    showResult();
}

void LedgerCheckWindow::showResult()
{
    setWindowTitle(m_result.caption());
    m_summary->setText(m_result.summary());
    m_model->removeRows(0, m_model->rowCount());
    for (const LedgerDifference& difference : m_result.differences) {
        QList<QStandardItem*> row;
        const QStringList texts = difference.texts();
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QStandardItem(texts.at(column));
            if (column != nameColumn && column != kindColumn)
                item->setTextAlignment(Qt::AlignCenter);
            row.append(item);
        }
        m_model->appendRow(row);
    }
}

void LedgerCheckWindow::rebuild()
{
    {
        BusyCursor busy;
        MonthRebuild(m_database).run(m_result.month, m_result.year);
    }
    emit monthRebuilt();
    check(m_result.month, m_result.year);
}

} // namespace tabel

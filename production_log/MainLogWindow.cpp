#include "production_log/MainLogWindow.h"

#include "common/BusyCursor.h"
#include "common/Clock.h"
#include "common/DateBox.h"
#include "common/MenuKeyboard.h"
#include "common/Messages.h"
#include "common/QueryGrid.h"
#include "common/WindowPlacement.h"
#include "db/DataModule.h"
#include "production_log/ClosedMarkDelegate.h"
#include "production_log/ProductionRecords.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tabel {

namespace {
bool isWeekend(const QDate& date)
{
    return date.dayOfWeek() >= Qt::Saturday;
}

const QList<GridColumn>& recordColumns()
{
    static const QList<GridColumn> columns = {
        {QStringLiteral("fio"), QStringLiteral("Фамилия И.О."), 250},
        {QStringLiteral("marka"), QStringLiteral("Марка изделия"), 260},
        {QStringLiteral("vid"), QStringLiteral("Операция"), 155},
        {QStringLiteral("nmn"), QStringLiteral("Вид"), 157},
        {QStringLiteral("color"), QStringLiteral("Цвет"), 50, Qt::AlignCenter},
        {QStringLiteral("time"), QStringLiteral("Часы"), 50, Qt::AlignRight | Qt::AlignVCenter},
        {QStringLiteral("kol_vo"), QStringLiteral("Кол-во"), 57, Qt::AlignRight | Qt::AlignVCenter},
        {QStringLiteral("brak"), QStringLiteral("Брак"), 49, Qt::AlignRight | Qt::AlignVCenter},
        {QStringLiteral("summa"), QStringLiteral("Итого (р.)"), 78, Qt::AlignRight | Qt::AlignVCenter, 2},
        {QStringLiteral("ok"), QStringLiteral("OK"), 37, Qt::AlignCenter},
        {QStringLiteral("vvod"), QStringLiteral("Заведен"), 88, Qt::AlignCenter},
    };
    return columns;
}
} // namespace

MainLogWindow::MainLogWindow(DataModule& dataModule, const Clock& clock, Messages& messages,
                             int versionCheckIntervalMs, QWidget* parent)
    : QDialog(parent), m_dataModule(dataModule), m_clock(clock), m_messages(messages),
      m_guard(messages, dataModule.database())
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Табель"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);

    auto* layout = new QVBoxLayout(this);
    QMenuBar* menu = buildMenu();
    layout->setMenuBar(menu);

    auto* top = new QHBoxLayout;
    const QStringList shiftCaptions = {QStringLiteral("Смена №1"), QStringLiteral("Смена №2"),
                                       QStringLiteral("Смена №3"), QStringLiteral("Переработка")};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QRadioButton(shiftCaptions.at(i), this);
        button->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        button->setAutoFillBackground(true);
        connect(button, &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                setShift(i + 1);
        });
        m_shiftButtons[i] = button;
        top->addWidget(button);
    }
    top->addSpacing(24);
    auto* dateLabel = new QLabel(QStringLiteral("&Дата:"), this);
    m_date = new DateBox(this);
    m_date->setObjectName(QStringLiteral("DateT"));
    m_date->installEventFilter(this);
    QWidget* calendarPopup = m_date->calendarWidget()->window();
    calendarPopup->installEventFilter(this);
    m_calendarPopup = calendarPopup;
    dateLabel->setBuddy(m_date);
    top->addWidget(dateLabel);
    top->addWidget(m_date);
    top->addSpacing(24);
    m_dayOff = new QCheckBox(QStringLiteral("Выходной"), this);
    m_dayOff->setObjectName(QStringLiteral("CBox1"));
    m_dayOff->setAutoFillBackground(true);
    connect(m_dayOff, &QCheckBox::toggled, this, &MainLogWindow::showDayOff);
    top->addWidget(m_dayOff);
    setWorkingDate(m_clock.today());
    top->addStretch();
    layout->addLayout(top);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid2"));
    m_grid->setAccessibleName(QStringLiteral("Записи смены"));
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the buttons; the arrows move between records.
    m_grid->setTabKeyNavigation(false);
    m_grid->installEventFilter(this);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->verticalHeader()->hide();
    m_gridLayout = new QueryGrid(*m_grid, recordColumns());
    m_gridLayout->setDelegate(QStringLiteral("ok"), new ClosedMarkDelegate);
    connect(m_grid, &QTableView::doubleClicked, this, m_guard.slot([this] { toggleClosedMark(); }));
    layout->addWidget(m_grid, 1);

    auto* bottom = new QHBoxLayout;
    auto addButton = [&](const QString& caption, const QString& name, void (MainLogWindow::*handler)()) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, m_guard.slot([this, handler] { (this->*handler)(); }));
        button->installEventFilter(this);
        return button;
    };
    m_add = addButton(QStringLiteral("Добавить"), QStringLiteral("Button1"), &MainLogWindow::addRecord);
    m_shiftEntry = addButton(QStringLiteral("Ввод смены"), QStringLiteral("shiftEntryButton"),
                             &MainLogWindow::enterShift);
    m_change = addButton(QStringLiteral("Изменить"), QStringLiteral("Button2"), &MainLogWindow::changeRecord);
    m_delete = addButton(QStringLiteral("Удалить"), QStringLiteral("Button3"), &MainLogWindow::deleteRecord);
    m_refresh = addButton(QStringLiteral("Обновить"), QStringLiteral("Button4"), &MainLogWindow::refresh);
    m_exit = addButton(QStringLiteral("Выход"), QStringLiteral("Button5"), &MainLogWindow::reject);
    for (QPushButton* button : {m_add, m_shiftEntry, m_change, m_delete, m_refresh})
        bottom->addWidget(button);
    bottom->addStretch();
    bottom->addWidget(m_exit);
    layout->addLayout(bottom);

    m_versionTimer = new QTimer(this);
    m_versionTimer->setObjectName(QStringLiteral("Timer1"));
    m_versionTimer->setInterval(versionCheckIntervalMs);
    connect(m_versionTimer, &QTimer::timeout, this, &MainLogWindow::versionCheckDue);
    m_versionTimer->start();

    m_shiftButtons[0]->setChecked(true);
    showShiftButtons();
    m_gridLayout->show(currentList());
    setFixedSize(1281, 585 + menu->sizeHint().height());
}

QMenuBar* MainLogWindow::buildMenu()
{
    auto* bar = new QMenuBar(this);
    bar->setNativeMenuBar(false);
    reachMenuByKeyboard(*bar);
    auto item = [this](QMenu* menu, const QString& caption, const QString& objectName, Opener opener) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(objectName);
        connect(action, &QAction::triggered, this, [this, opener] { open(opener); });
        return action;
    };
    QMenu* reference = bar->addMenu(QStringLiteral("Справочники"));
    reference->setObjectName(QStringLiteral("N1"));
    reference->menuAction()->setObjectName(QStringLiteral("referenceMenu"));
    item(reference, QStringLiteral("Рабочие"), QStringLiteral("workersAction"), &Openers::workers);
    item(reference, QStringLiteral("Изделия"), QStringLiteral("productsAction"), &Openers::products);
    item(reference, QStringLiteral("Цены"), QStringLiteral("pricesAction"), &Openers::prices);
    item(reference, QStringLiteral("Операции"), QStringLiteral("operationTypesAction"),
         &Openers::operationTypes);
    // kept for the users' habit; does nothing
    reference->addAction(QStringLiteral("Внеурочное"))->setObjectName(QStringLiteral("extraHoursAction"));
    m_referenceMenu = reference->menuAction();

    m_timesheetMenu = bar->addAction(QStringLiteral("Табель по времени"));
    m_timesheetMenu->setObjectName(QStringLiteral("timesheetAction"));
    connect(m_timesheetMenu, &QAction::triggered, this, [this] { open(&Openers::timesheet); });

    QMenu* reports = bar->addMenu(QStringLiteral("Отчеты"));
    reports->setObjectName(QStringLiteral("reportsMenu"));
    reports->menuAction()->setObjectName(QStringLiteral("reportsMenu"));
    item(reports, QStringLiteral("Сводные отчеты"), QStringLiteral("summaryReportsAction"),
         &Openers::reports);

    QAction* exit = bar->addAction(QStringLiteral("Выход"));
    exit->setObjectName(QStringLiteral("exitAction"));
    connect(exit, &QAction::triggered, this, &MainLogWindow::reject);

    QAction* import = bar->addAction(QStringLiteral("Импорт"));
    import->setObjectName(QStringLiteral("importAction"));
    import->setVisible(false);
    import->setEnabled(false);
    const auto requestImport = [this] { open(&Openers::legacyImport); };
    connect(import, &QAction::triggered, this, requestImport);
    m_importMenu = import;
    // A hidden menu item has no working shortcut, so the key lives on an action of the window;
    // it stays unknown to users, as the hidden item does.
    m_importShortcut = new QAction(this);
    m_importShortcut->setObjectName(QStringLiteral("importShortcutAction"));
    m_importShortcut->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    m_importShortcut->setShortcutContext(Qt::WindowShortcut);
    m_importShortcut->setEnabled(false);
    addAction(m_importShortcut);
    connect(m_importShortcut, &QAction::triggered, this, requestImport);
    return bar;
}

void MainLogWindow::logIn(const QString& loginName, const MainWindowAccess& access)
{
    m_loginName = loginName;
    m_shiftButtons[0]->setChecked(true);
    setShift(1);
    m_add->setEnabled(access.add);
    // A whole shift typed in one grid is only another way of adding records.
    m_shiftEntry->setEnabled(access.add);
    m_change->setEnabled(access.change);
    m_delete->setEnabled(access.remove);
    for (QRadioButton* button : m_shiftButtons)
        button->setEnabled(access.shiftButtons);
    m_dayOff->setEnabled(access.dayOff);
    m_refresh->setEnabled(access.refresh);
    m_grid->setEnabled(access.grid);
    m_date->setEnabled(access.datePicker);
    m_referenceMenu->setEnabled(access.referenceMenu);
    m_timesheetMenu->setEnabled(access.timesheetMenu);
    m_importMenu->setEnabled(access.legacyImport);
    m_importShortcut->setEnabled(access.legacyImport);
}

WorkingDay MainLogWindow::workingDay() const
{
    return {m_date->date(), m_shift, m_dayOff->isChecked(), m_loginName};
}

StaticQuery& MainLogWindow::currentList()
{
    return m_dataModule.dailyList(m_shift >= 1 && m_shift <= 4 ? m_shift : 1);
}

int MainLogWindow::currentRow() const
{
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? current.row() : -1;
}

QVariant MainLogWindow::currentValue(const QString& field) const
{
    const int row = currentRow();
    if (row < 0)
        return {};
    return const_cast<MainLogWindow*>(this)->currentList().value(row, field);
}

QVariantMap MainLogWindow::currentRecord() const
{
    QVariantMap record;
    const int row = currentRow();
    if (row < 0)
        return record;
    StaticQuery& list = const_cast<MainLogWindow*>(this)->currentList();
    const QAbstractItemModel* model = list.model();
    for (int column = 0; column < model->columnCount(); ++column) {
        const QString field = list.fieldName(column);
        record.insert(field, list.value(row, field));
    }
    return record;
}

void MainLogWindow::selectRow(int row)
{
    StaticQuery& list = currentList();
    if (list.rowCount() == 0)
        return;
    row = std::clamp(row, 0, list.rowCount() - 1);
    const int column = list.fieldIndex(QStringLiteral("fio"));
    m_grid->setCurrentIndex(list.model()->index(row, std::max(column, 0)));
    m_grid->selectRow(row);
}

void MainLogWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* screen = this->screen())
        centreOn(*this, screen->availableGeometry());
    m_guard.run([this] { activate(); });
    // The work starts on the records: the arrows choose one, Enter changes it, Tab goes on to
    // "Добавить".
    if (m_grid->isEnabled())
        m_grid->setFocus();
}

void MainLogWindow::activate()
{
    // A tick belongs to the date it was given for: moving to another date takes that date's
    // own, while staying keeps a holiday the user ticked for today.
    const QDate today = m_clock.today();
    if (m_date->date() != today)
        setWorkingDate(today);
    reloadLists();
}

void MainLogWindow::setWorkingDate(const QDate& date)
{
    m_date->setDate(date);
    m_dayOff->setChecked(isWeekend(date));
}

void MainLogWindow::reloadLists()
{
    m_dataModule.setDailyListDate(m_date->date());
    for (int shift = 1; shift <= 4; ++shift)
        m_dataModule.dailyList(shift).close();
    for (int shift = 1; shift <= 4; ++shift)
        m_dataModule.dailyList(shift).open();
    selectRow(0);
}

void MainLogWindow::chooseDate()
{
    {
        BusyCursor busy;
        reloadLists();
        m_dayOff->setChecked(isWeekend(m_date->date()));
    }
    m_grid->setFocus();
}

bool MainLogWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool enter =
        event->type() == QEvent::KeyPress && (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                                              static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
    // Typing a date does not reload the lists: only closing the calendar or Enter does,
    // so that a half-typed date never hits the database.
    if (watched == m_date && enter) {
        m_guard.run([this] { chooseDate(); });
        return true;
    }
    if (watched == m_calendarPopup && event->type() == QEvent::Hide) {
        QTimer::singleShot(0, this, m_guard.slot([this] { chooseDate(); }));
    } else if (watched == m_grid && enter) {
        if (m_change->isEnabled())
            m_guard.run([this] { changeRecord(); });
        return true;
    } else if (enter) {
        // The window has no default button, so Enter means the button it is pressed on.
        if (auto* button = qobject_cast<QPushButton*>(watched)) {
            button->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MainLogWindow::showDayOff(bool dayOff)
{
    m_dayOff->setStyleSheet(
        dayOff ? QStringLiteral("QCheckBox { background-color: #FF0000; font-weight: bold; }") : QString());
}

void MainLogWindow::setShift(int shift)
{
    m_shift = shift;
    if (!m_shiftButtons[shift - 1]->isChecked())
        m_shiftButtons[shift - 1]->setChecked(true);
    showShiftButtons();
    m_gridLayout->show(currentList());
    selectRow(0);
}

void MainLogWindow::showShiftButtons()
{
    for (int i = 0; i < 4; ++i)
        m_shiftButtons[i]->setStyleSheet(
            // White on the green, since black on it is hard to read.
            i + 1 == m_shift
                ? QStringLiteral(
                      "QRadioButton { background-color: #008000; color: #FFFFFF; font-weight: bold; }")
                : QString());
}

void MainLogWindow::runModal(const std::function<void()>& opener)
{
    // A failure while the window opens ends that action only; this window still activates.
    m_guard.run(opener);
    m_guard.run([this] { activate(); });
}

void MainLogWindow::open(Opener opener)
{
    runModal([this, opener] {
        if (const std::function<void()>& work = m_openers.*opener)
            work();
    });
}

void MainLogWindow::addRecord()
{
    const int row = currentRow();
    open(&Openers::addRecord);
    selectRow(row);
}

void MainLogWindow::enterShift()
{
    open(&Openers::shiftEntry);
    selectRow(0);
}

void MainLogWindow::changeRecord()
{
    if (currentList().rowCount() == 0)
        return;
    const int row = currentRow();
    open(&Openers::changeRecord);
    selectRow(row);
}

void MainLogWindow::deleteRecord()
{
    const QVariant id = currentValue(QStringLiteral("id"));
    if (id.isNull())
        return;
    StaticQuery& list = currentList();
    const int row = currentRow();
    // The question names the record, so that the user sees which one goes.
    const auto text = [this](const char* field) {
        return currentValue(QString::fromLatin1(field)).toString().trimmed();
    };
    const QString record =
        QStringLiteral("%1; %2; %3; кол-во %4").arg(text("fio"), text("marka"), text("vid"), text("kol_vo"));
    const bool yes =
        m_messages.show({QStringLiteral("Удаление"), QStringLiteral("Удалить позицию из списка?"),
                         MessageIcon::Question, MessageButtons::YesNo, record}) == MessageAnswer::Yes;
    if (yes)
        ProductionRecords(m_dataModule.database()).deleteRecord(id.toInt());
    // The cursor stays at its row number, so a second "Удалить" means the record now there.
    list.reopen();
    selectRow(row);
}

void MainLogWindow::toggleClosedMark()
{
    if (m_loginName == QLatin1String("masters"))
        return;
    StaticQuery& list = currentList();
    const int row = currentRow();
    if (list.rowCount() == 0 || row < 0)
        return;
    ProductionRecords(m_dataModule.database())
        .toggleClosedMark(list.value(row, QStringLiteral("id")).toInt(),
                          list.value(row, QStringLiteral("ok")).toString().trimmed());
    list.reopen();
    selectRow(row);
}

void MainLogWindow::refresh()
{
    BusyCursor busy;
    for (int shift = 1; shift <= 4; ++shift)
        m_dataModule.dailyList(shift).reopen();
    selectRow(0);
}

} // namespace tabel

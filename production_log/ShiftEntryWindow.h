#pragma once

#include "common/ActionGuard.h"
#include "production_log/RecordPickers.h"
#include "production_log/ShiftEntryChoices.h"
#include "production_log/WorkingDay.h"
#include "reference/OperationChoice.h"
#include "reference/ReferenceListWindow.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;
class QValidator;

namespace tabel {

class Clock;
class DataModule;
class Messages;
class ShiftEntryModel;
struct ShiftEntryRow;

// "Ввод смены": a whole shift typed into one grid from the paper sheet, a line left to right,
// references found by typing the start of their names, Enter going on and saving the line.
// Every line is saved as the record editor saves it.
class ShiftEntryWindow : public QDialog
{
    Q_OBJECT
public:
    ShiftEntryWindow(DataModule& dataModule, Messages& messages, const Clock& clock,
                     QWidget* parent = nullptr);
    ~ShiftEntryWindow() override;
    void setPickers(WorkerPicker pickWorker, OperationPicker pickOperation);

    // The day, shift and day-off state stay those given here while the window is open.
    void prepare(const WorkingDay& day);
    static QString caption(const WorkingDay& day);

    ShiftEntryModel& model() const { return *m_model; }
    QTableView* grid() const { return m_grid; }
    QLineEdit* cellEditor() const { return m_cellEditor; }
    QListWidget* completionList() const { return m_completions; }
    QLabel* explanationLine() const { return m_explanation; }
    QLabel* refusalLine() const { return m_refusal; }
    int currentColumn() const { return m_column; }

    // Asks first when a typed line would be lost.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);
    ShiftEntryRow currentRow() const;
    void setCurrentRow(const ShiftEntryRow& row);
    bool isReferenceColumn() const;

    void goToCell(int column);
    void placeEditor();
    void cellTextChanged(const QString& text);
    // Enter (and Tab, which never saves): takes what the cell holds and goes on.
    void goOn(bool saveAtEnd);
    void goBack();
    // What was typed into a reference cell without taking anything is dropped on leaving it.
    void dropUntakenText();
    void undoCell();
    void clearRow();
    void saveRow();
    void pickFromList();

    void showCompletions();
    void hideCompletions();
    void moveCompletion(int step);
    enum class Taken { Nothing, TheCellsValue, WorkerOfTheLine };
    Taken takeCompletion();
    void takeWorker(const ListChoice& worker);
    void takeOperation(int productId, int operationId, const QString& text);
    void showTaken(const QString& text);
    void showExplanation();
    bool unsavedInput() const;

    DataModule& m_dataModule;
    Messages& m_messages;
    ActionGuard m_guard;
    const Clock& m_clock;
    WorkerPicker m_pickWorker;
    OperationPicker m_pickOperation;
    WorkingDay m_day;
    ShiftEntryChoices m_choices;

    ShiftEntryModel* m_model = nullptr;
    QTableView* m_grid = nullptr;
    QLineEdit* m_cellEditor = nullptr;
    QValidator* m_integers = nullptr;
    QValidator* m_smallints = nullptr;
    QListWidget* m_completions = nullptr;
    QLabel* m_explanation = nullptr;
    QLabel* m_refusal = nullptr;
    QPushButton* m_close = nullptr;
    int m_column = 0;
    QString m_cellOriginal; // what Esc brings back
    bool m_refusalIsLookup = false;
    bool m_filling = false; // the program, not the user, is setting the cell's text
};

} // namespace tabel

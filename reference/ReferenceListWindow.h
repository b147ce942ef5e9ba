#pragma once

#include "common/ActionGuard.h"
#include "common/QueryGrid.h"

#include <QDialog>
#include <optional>

class QBoxLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tabel {

class Messages;
class StaticQuery;

// What a list hands back to the editor that opened it as a picker.
struct ListChoice
{
    QString text; // trimmed display text
    int id = 0;
};

// The part the four reference lists share: a grid over one shared query, a prefix filter,
// "Добавить", "Изменить"/"Выбрать", optionally "Удалить", and "Выход". A list runs in edit
// mode (from the main menu) or selection mode (as a picker). What differs between the lists
// is set by each list's own class through Options and the virtual actions.
class ReferenceListWindow : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Edit, Selection };
    enum class FilterPlace { ButtonRow, BelowGrid };
    // ArrowsOnly: Up/Down move the cursor, every other key edits the box as usual.
    // ArrowsAndTyping: Up/Down move the cursor and the box keeps only typing and Backspace
    // (no caret keys, no Delete), so the arrows never fight with the caret.
    enum class FilterKeys { ArrowsOnly, ArrowsAndTyping };

    struct Options
    {
        QString objectName;
        QString caption;
        QSize clientSize;
        QList<GridColumn> columns;
        QString filterField;
        FilterPlace filterPlace = FilterPlace::ButtonRow;
        FilterKeys filterKeys = FilterKeys::ArrowsAndTyping;
        bool filterInEditMode = true;
        bool hasDelete = true;
    };

    // Edit mode: opens the shared query, shows the list, closes the query afterwards.
    void openForEdit();
    // Selection mode: the row chosen, or nothing when the user left without choosing. The
    // cursor starts on the row whose field equals value, if given, else on the first row.
    std::optional<ListChoice> pick(const QString& field = QString(), const QVariant& value = QVariant());

    Mode mode() const { return m_mode; }
    QTableView* grid() const { return m_grid; }
    QLineEdit* filterBox() const { return m_filter; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* secondButton() const { return m_second; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* exitButton() const { return m_exit; }
    int currentRow() const;
    void selectRow(int row);

protected:
    ReferenceListWindow(StaticQuery& query, TransactionHolder& transactions, Messages& messages,
                        Options options, QWidget* parent);

    StaticQuery& query() { return m_query; }
    Messages& messages() { return m_messages; }
    const ActionGuard& guard() const { return m_guard; }
    QHBoxLayout* buttonRow() const { return m_buttonRow; }
    QVariant currentValue(const QString& field) const;

    // Reloads the shared query and puts the cursor on row (clamped; the first row when the
    // list got shorter than that).
    void reload(int row = 0);

    virtual void addItem() = 0;
    virtual void changeItem() = 0;
    virtual void deleteItem() {}
    // Selection mode: what "Выбрать" hands back from the current row.
    virtual ListChoice choose() = 0;
    // Selection mode on a list that (after filtering) has no rows. True: the window closes
    // and hands nothing back. False: it stays open (the user has been told why).
    virtual bool closeOnEmptyChoice() { return true; }
    // A double click on the grid: by default what the second button does.
    virtual void rowActivated() { secondButtonClicked(); }
    void secondButtonClicked();

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setMode(Mode mode);
    void filterChanged(const QString& text);

    StaticQuery& m_query;
    Messages& m_messages;
    ActionGuard m_guard;
    Options m_options;
    Mode m_mode = Mode::Edit;
    std::optional<ListChoice> m_choice;
    QTableView* m_grid = nullptr;
    QueryGrid* m_gridLayout = nullptr;
    QLineEdit* m_filter = nullptr;
    QHBoxLayout* m_buttonRow = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_second = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_exit = nullptr;
};

} // namespace tabel

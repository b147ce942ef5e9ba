#pragma once

#include "legacy_import/LegacyImport.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tabel {

// Shows the import's progress text while the import runs on the window thread; modal, so that
// the main window cannot start other actions meanwhile. Closing it counts as "Отмена".
class ImportProgressDialog : public QDialog, public ImportProgress
{
    Q_OBJECT
public:
    explicit ImportProgressDialog(QWidget* parent = nullptr);

    // Shows the dialog for the length of work, with the cancel request cleared first.
    void runWhileShown(const std::function<void()>& work);

    void showProgress(const QString& text) override;
    bool cancelRequested() override { return m_cancelRequested; }
    QString text() const;

signals:
    void progressShown(const QString& text);

public slots:
    void reject() override;

private:
    QLabel* m_text = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_cancelRequested = false;
    bool m_running = false;
};

} // namespace tabel

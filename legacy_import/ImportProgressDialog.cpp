#include "legacy_import/ImportProgressDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tabel {

ImportProgressDialog::ImportProgressDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("importProgress"));
    setWindowTitle(QStringLiteral("Импорт"));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("Label1"));
    m_text->setMinimumWidth(360);
    layout->addWidget(m_text);
    m_cancel = new QPushButton(QStringLiteral("Отмена"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(m_cancel, &QPushButton::clicked, this, &ImportProgressDialog::reject);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
}

void ImportProgressDialog::runWhileShown(const std::function<void()>& work)
{
    m_cancelRequested = false;
    m_text->clear();
    m_cancel->setEnabled(true);
    show();
    m_running = true;
    // Hidden again however work ends, so that a failure does not leave the program blocked.
    struct Hide
    {
        ImportProgressDialog& dialog;
        ~Hide()
        {
            dialog.m_running = false;
            dialog.hide();
        }
    } hide{*this};
    work();
}

void ImportProgressDialog::showProgress(const QString& text)
{
    m_text->setText(text);
    emit progressShown(text);
    // The import runs on this thread: the text is drawn and "Отмена" is heard only here.
    QApplication::processEvents();
}

QString ImportProgressDialog::text() const
{
    return m_text->text();
}

void ImportProgressDialog::reject()
{
    if (!m_running) {
        QDialog::reject();
        return;
    }
    m_cancelRequested = true;
    m_cancel->setEnabled(false);
}

} // namespace tabel

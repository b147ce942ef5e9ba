#include "spreadsheet/SpreadsheetViewer.h"

#include "common/Messages.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

namespace tabel {

DesktopSpreadsheetViewer::DesktopSpreadsheetViewer(Messages& messages, QObject* parent)
    : QObject(parent), m_messages(messages)
{
}

QString DesktopSpreadsheetViewer::notOpenedText(const QString& path)
{
    return QStringLiteral("Не удалось открыть таблицу. Файл сохранён: %1")
        .arg(QDir::toNativeSeparators(path));
}

void DesktopSpreadsheetViewer::open(const QString& path)
{
#ifdef Q_OS_WIN
    // The shell starts the program associated with .xlsx and says at once whether there is one.
    report(path, QDesktopServices::openUrl(QUrl::fromLocalFile(path)));
#else
    // Not detached, so that a failing xdg-open (no program for .xlsx) can be reported.
    // Without pipes the spreadsheet program it starts cannot die of SIGPIPE once we are gone.
    auto* process = new QProcess(this);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::finished, this,
            [this, process, path](int exitCode, QProcess::ExitStatus status) {
                report(path, status == QProcess::NormalExit && exitCode == 0);
                process->deleteLater();
            });
    connect(process, &QProcess::errorOccurred, this, [this, process, path](QProcess::ProcessError error) {
        // Other errors are followed by finished(), which reports them.
        if (error != QProcess::FailedToStart)
            return;
        report(path, false);
        process->deleteLater();
    });
    process->start(QStringLiteral("xdg-open"), {path});
#endif
}

void DesktopSpreadsheetViewer::report(const QString& path, bool opened)
{
    if (!opened)
        m_messages.error(notOpenedText(path));
    emit finished(path, opened);
}

} // namespace tabel

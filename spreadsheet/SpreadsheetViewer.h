#pragma once

#include <QObject>
#include <QString>

namespace tabel {

class Messages;

// Where a finished workbook goes: the desktop's spreadsheet program in the application,
// a recorder in tests.
class SpreadsheetViewer
{
public:
    virtual ~SpreadsheetViewer() = default;
    virtual void open(const QString& path) = 0;
};

// Hands the file to xdg-open (on Windows to the shell). The file stays where it is, so when no program takes
// it the user is told where to find it instead of losing the export.
class DesktopSpreadsheetViewer : public QObject, public SpreadsheetViewer
{
    Q_OBJECT
public:
    explicit DesktopSpreadsheetViewer(Messages& messages, QObject* parent = nullptr);

    void open(const QString& path) override;

    static QString notOpenedText(const QString& path);

signals:
    // xdg-open or the shell has answered; opened is false when the user was told.
    void finished(const QString& path, bool opened);

private:
    void report(const QString& path, bool opened);

    Messages& m_messages;
};

} // namespace tabel

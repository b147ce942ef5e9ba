#pragma once

#include "spreadsheet/SpreadsheetViewer.h"

#include <QStringList>

namespace tabel {

// Stands in for the desktop: keeps the paths of the workbooks it was asked to open.
class RecordingSpreadsheetViewer : public SpreadsheetViewer
{
public:
    void open(const QString& path) override { m_opened.append(path); }
    const QStringList& opened() const { return m_opened; }

private:
    QStringList m_opened;
};

} // namespace tabel

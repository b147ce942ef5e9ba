#pragma once

#include <QString>

namespace tabel {

class PreparedReport;

// Writes pages firstPage..lastPage (from 0; -1: to the end) of the report to a PDF file with
// its fonts embedded. False if the file cannot be written.
bool writeReportPdf(PreparedReport& report, const QString& fileName, int firstPage = 0, int lastPage = -1);

} // namespace tabel

#pragma once

#include <QString>
#include <functional>

class QPrinter;

namespace tabel {

class PreparedReport;

// Pages from 0; last -1: to the end of the report.
struct PageRange
{
    int first = 0;
    int last = -1;
};

// Told after each page with the pages done and the pages to do; false stops the run.
using PageProgress = std::function<bool(int done, int total)>;

enum class OutputResult {
    Done,
    Cancelled,
    Failed,
};

// Writes the pages to a PDF file with its fonts embedded and the title in its metadata. The
// file appears under its name only once it is whole: a run stopped or failed halfway leaves
// no file there (and an older file of that name as it was).
OutputResult writeReportPdf(PreparedReport& report, const QString& fileName, const QString& title,
                            PageRange pages = {}, const PageProgress& progress = {});
// The same without a title or a way to stop; false if the file cannot be written.
bool writeReportPdf(PreparedReport& report, const QString& fileName, int firstPage = 0, int lastPage = -1);

// Prints the pages on a printer set up by the caller (a real one, or one that writes a file).
// A run stopped halfway is aborted, so that a printer drops what it got.
OutputResult printReport(PreparedReport& report, QPrinter& printer, PageRange pages = {},
                         const PageProgress& progress = {});

} // namespace tabel

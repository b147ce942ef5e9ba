#pragma once

#include <QStringList>

class QTextStream;

namespace tabel {

// tabel --check-ledger YEAR-MONTH [DATABASE SERVER]: the time sheet's ledger check without
// windows, for an administrator's nightly job. Prints the summary line and the differences as
// tab-separated lines (name, shift, day, ledger hours, record hours, kind).
class LedgerCheckCommand
{
public:
    enum ExitStatus { Agrees = 0, Differs = 1, NotChecked = 2 };

    static QString option() { return QStringLiteral("--check-ledger"); }
    // Whether the command line asks for the check; looked at before any application object
    // exists, since the check must run where there is no display.
    static bool isRequested(int argc, char** argv);
    // The whole program for the check: its own application object without windows.
    static int run(int argc, char** argv);

    // arguments: the command line without the program name, the option first.
    static int run(const QStringList& arguments, QTextStream& out, QTextStream& errors);
};

} // namespace tabel

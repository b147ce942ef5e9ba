#include "shell/LedgerCheckCommand.h"

#include "common/ActionGuard.h"
#include "db/ConnectionSettings.h"
#include "db/Database.h"
#include "timesheet/LedgerCheck.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTextStream>

#ifdef Q_OS_WIN
#include <windows.h>

#include <cstdio>
#endif

namespace tabel {

namespace {
bool parseMonth(const QString& text, int& month, int& year)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{1,2})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    year = match.captured(1).toInt();
    month = match.captured(2).toInt();
    return month >= 1 && month <= 12 && year >= 1;
}

void report(QTextStream& errors, const std::exception& error)
{
    errors << "tabel: " << ActionGuard::reportText(error);
    const QString detail = ActionGuard::reportDetail(error);
    if (!detail.isEmpty())
        errors << " (" << detail << ")";
    errors << "\n";
}
} // namespace

bool LedgerCheckCommand::isRequested(int argc, char** argv)
{
    return argc > 1 && option() == QLatin1String(argv[1]);
}

int LedgerCheckCommand::run(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
#ifdef Q_OS_WIN
    // The program is a window program, which Windows starts without output: started from a
    // console, it writes into that console unless its output goes elsewhere already.
    const auto unset = [](DWORD which) {
        const HANDLE handle = GetStdHandle(which);
        return handle == nullptr || handle == INVALID_HANDLE_VALUE;
    };
    if ((unset(STD_OUTPUT_HANDLE) || unset(STD_ERROR_HANDLE)) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (unset(STD_OUTPUT_HANDLE))
            std::freopen("CONOUT$", "w", stdout);
        if (unset(STD_ERROR_HANDLE))
            std::freopen("CONOUT$", "w", stderr);
    }
    // The texts are written in UTF-8; a console shows them as such only when told.
    SetConsoleOutputCP(CP_UTF8);
#endif
    QTextStream out(stdout);
    QTextStream errors(stderr);
    return run(application.arguments().mid(1), out, errors);
}

int LedgerCheckCommand::run(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    int month = 0;
    int year = 0;
    if (arguments.size() < 2 || arguments.size() > 4 || arguments.first() != option() ||
        !parseMonth(arguments.at(1), month, year)) {
        errors << "Использование: tabel --check-ledger ГГГГ-ММ [БАЗА СЕРВЕР]\n";
        return NotChecked;
    }
    Database database(QStringLiteral("ledger-check"));
    try {
        database.open(ConnectionSettings::fromCommandLine(arguments.mid(2)));
        const LedgerCheckResult result = LedgerCheck(database).run(month, year);
        out << result.summary() << "\n";
        // A name is text that other applications write; a tab or line break in it would
        // shift the columns of every line after it.
        static const QRegularExpression separators(QStringLiteral("[\t\r\n]"));
        for (const LedgerDifference& difference : result.differences) {
            QStringList texts = difference.texts();
            for (QString& text : texts)
                text.replace(separators, QStringLiteral(" "));
            out << texts.join(QLatin1Char('\t')) << "\n";
        }
        out.flush();
        return result.agrees() ? Agrees : Differs;
    } catch (const std::exception& error) {
        out.flush();
        report(errors, error);
        return NotChecked;
    }
}

} // namespace tabel

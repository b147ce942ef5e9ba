#include "shell/TabelApplication.h"

#include "common/Messages.h"
#include "db/Database.h"
#include "db/DbError.h"

#include <QDir>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tabel {

TabelApplication::TabelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void TabelApplication::setErrorReport(Messages* messages, Database* database)
{
    m_messages = messages;
    m_database = database;
}

bool TabelApplication::notify(QObject* receiver, QEvent* event)
{
    // A last resort only: handlers stop their errors with an ActionGuard, since an exception
    // that crosses Qt's own frames leaves them in an undefined state.
    try {
        return QApplication::notify(receiver, event);
    } catch (const DbError& error) {
        report(error.text());
    } catch (const std::exception& error) {
        report(QString::fromUtf8(error.what()));
    }
    return false;
}

void TabelApplication::report(const QString& text)
{
    ++m_lastResortReports;
    if (m_database)
        m_database->rollback();
    if (m_messages)
        m_messages->error(text);
    else
        qWarning("%s", qPrintable(text));
}

void TabelApplication::useRussian()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_ru"}) {
        auto* translator = new QTranslator(this);
        if (translator->load(QString::fromLatin1(name), folder))
            installTranslator(translator);
        else
            delete translator;
    }
}

void TabelApplication::loadOwnFonts()
{
    const QDir folder(applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString& name : folder.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        if (QFontDatabase::addApplicationFont(folder.filePath(name)) < 0)
            qWarning("Cannot load the font %s", qPrintable(folder.filePath(name)));
}

} // namespace tabel

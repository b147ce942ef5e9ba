#include "spreadsheet/RecordingSpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"
#include "spreadsheet/XlsxReader.h"
#include "support/ScriptedMessages.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <utime.h>
#endif

using namespace tabel;

namespace {

// Folders too, which Qt cannot date.
bool setModified(const QString& path, const QDateTime& when)
{
#ifdef Q_OS_WIN
    const HANDLE handle =
        CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                    FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    // 100-nanosecond steps since 1601.
    const quint64 ticks = quint64(when.toMSecsSinceEpoch() + 11644473600000LL) * 10000;
    const FILETIME time{DWORD(ticks), DWORD(ticks >> 32)};
    const bool set = SetFileTime(handle, nullptr, &time, &time);
    CloseHandle(handle);
    return set;
#else
    const time_t seconds = when.toSecsSinceEpoch();
    utimbuf times{seconds, seconds};
    return utime(QFile::encodeName(path).constData(), &times) == 0;
#endif
}

} // namespace

namespace {

const QString kWrongSheet = QStringLiteral("Ошибочный номер листа Microsoft Excel");
const QString kCellError = QStringLiteral("Ошибка Microsoft Excel");

enum class Workbook { Open, NeverOpened, AlreadyShown };

constexpr auto Done = SpreadsheetWriter::Result::Done;
constexpr auto Failed = SpreadsheetWriter::Result::Failed;

// The formats as the tables give them, one column each.
CellFormats cellFormats(bool text, bool fitColumn, bool bold)
{
    CellFormats formats;
    formats.setFlag(CellFormat::Text, text);
    formats.setFlag(CellFormat::FitColumn, fitColumn);
    formats.setFlag(CellFormat::Bold, bold);
    return formats;
}

// Restores PATH however the test ends, so that a fake xdg-open does not leak into other cases.
class PathOverride
{
public:
    explicit PathOverride(const QString& path) : m_saved(qgetenv("PATH"))
    {
        qputenv("PATH", path.toLocal8Bit());
    }
    ~PathOverride() { qputenv("PATH", m_saved); }

private:
    QByteArray m_saved;
};

} // namespace

Q_DECLARE_METATYPE(Workbook)

class TestSpreadsheetWriter : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    ScriptedMessages m_messages;
    RecordingSpreadsheetViewer m_viewer;
    std::unique_ptr<SpreadsheetWriter> m_writer;

    // The workbook as the desktop program would get it, or null (with the reason logged).
    std::unique_ptr<XlsxReader> showWorkbook()
    {
        const int before = m_viewer.opened().size();
        if (m_writer->show(true) != Done || m_viewer.opened().size() != before + 1) {
            qWarning("show(true) did not hand a workbook to the viewer");
            return nullptr;
        }
        auto book = std::make_unique<XlsxReader>(m_viewer.opened().last());
        if (!book->error().isEmpty()) {
            qWarning("%s", qPrintable(book->error()));
            return nullptr;
        }
        return book;
    }

    void verifyShownOnce(const QString& text, const QString& caption)
    {
        QCOMPARE(m_messages.shown().size(), 1);
        const Message& message = m_messages.shown().first();
        QCOMPARE(message.text, text);
        QCOMPARE(message.caption, caption);
        QCOMPARE(message.icon, MessageIcon::Error);
        QCOMPARE(message.buttons, MessageButtons::Ok);
        m_messages.clear();
    }

    // "tabel-XXXXXX/Name.xlsx": every workbook in the folder, each in a folder of its own.
    QStringList workbookFiles() const
    {
        QStringList files;
        const QDir folder(m_folder->path());
        for (const QString& own :
             folder.entryList({QStringLiteral("tabel-*")}, QDir::Dirs | QDir::NoDotAndDotDot))
            for (const QString& file : QDir(folder.filePath(own)).entryList(QDir::Files))
                files.append(own + QLatin1Char('/') + file);
        return files;
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        m_messages.clear();
        m_viewer = RecordingSpreadsheetViewer();
        m_writer = std::make_unique<SpreadsheetWriter>(m_messages, m_viewer, m_folder->path());
    }

    void cleanup()
    {
        m_writer.reset();
        // Every case consumes the messages it expects; anything left was shown by mistake.
        QVERIFY2(m_messages.shown().isEmpty(), qPrintable(m_messages.texts().join(QLatin1String(" | "))));
    }

    void storesTextsAsTheSpreadsheetReadsThem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<QString>("value");
        QTest::newRow("integer") << "12" << true << "12";
        QTest::newRow("decimal comma") << "12,5" << true << "12.5";
        QTest::newRow("negative") << "-3" << true << "-3";
        QTest::newRow("plus sign") << "+5" << true << "5";
        QTest::newRow("comma first") << ",5" << true << "0.5";
        QTest::newRow("zero") << "0" << true << "0";
        QTest::newRow("zero and fraction") << "0,25" << true << "0.25";
        QTest::newRow("negative zero") << "-0" << true << "0";
        QTest::newRow("groups by space") << "1 234,5" << true << "1234.5";
        QTest::newRow("groups by no-break space") << QStringLiteral("1\u00A0234") << true << "1234";
        QTest::newRow("fifteen digits") << "123456789012345" << true << "123456789012345";
        QTest::newRow("sixteen digits stay text") << "1234567890123456" << false << "1234567890123456";
        QTest::newRow("leading zeros stay text") << "007" << false << "007";
        QTest::newRow("decimal point is text") << "12.5" << false << "12.5";
        QTest::newRow("two commas") << "1,2,3" << false << "1,2,3";
        QTest::newRow("comma last") << "12," << false << "12,";
        QTest::newRow("broken groups") << "12 34" << false << "12 34";
        QTest::newRow("sign alone") << "-" << false << "-";
        QTest::newRow("exponent") << "1e3" << false << "1e3";
        QTest::newRow("percent") << "50%" << false << "50%";
        QTest::newRow("leading space") << " 12" << false << " 12";
        QTest::newRow("grade") << "А-100" << false << "А-100";
        QTest::newRow("name with initials") << "Фамилия И.О." << false << "Фамилия И.О.";
    }
    void storesTextsAsTheSpreadsheetReadsThem()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(QString, value);
        QCOMPARE(m_writer->open(), Done);
        QCOMPARE(m_writer->writeCell(1, 3, 4, text), Done);
        QCOMPARE(m_writer->writeFormattedCell(1, 4, 4, text, cellFormats(false, false, false)), Done);

        const auto book = showWorkbook();
        QVERIFY(book);
        QCOMPARE(book->cellCount(), 2);
        for (int column : {3, 4}) {
            const auto cell = book->cell(column, 4);
            QVERIFY(cell);
            QCOMPARE(cell->isNumber, isNumber);
            if (isNumber)
                QCOMPARE(cell->value.toDouble(), value.toDouble());
            else
                QCOMPARE(cell->value, value);
            QCOMPARE(cell->numberFormat, QStringLiteral("General"));
            QVERIFY(!cell->bold);
        }
    }

    void formatsCells_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("textFormat");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<QString>("numberFormat");
        QTest::newRow("no flags") << "12" << false << false << true << "General";
        QTest::newRow("text format keeps a number as text") << "12" << true << false << false << "@";
        QTest::newRow("bold number") << "12" << false << true << true << "General";
        QTest::newRow("bold text in text format") << "Итого" << true << true << false << "@";
    }
    void formatsCells()
    {
        QFETCH(QString, text);
        QFETCH(bool, textFormat);
        QFETCH(bool, bold);
        QFETCH(bool, isNumber);
        QFETCH(QString, numberFormat);
        QCOMPARE(m_writer->open(), Done);
        QCOMPARE(m_writer->writeFormattedCell(1, 2, 3, text, cellFormats(textFormat, false, bold)), Done);

        const auto book = showWorkbook();
        QVERIFY(book);
        const auto cell = book->cell(2, 3);
        QVERIFY(cell);
        QCOMPARE(cell->isNumber, isNumber);
        QCOMPARE(cell->value, text);
        QCOMPARE(cell->numberFormat, numberFormat);
        QCOMPARE(cell->bold, bold);
    }

    void rewritingACellKeepsOrChangesItsFormat_data()
    {
        QTest::addColumn<bool>("firstTextFormat");
        QTest::addColumn<bool>("firstBold");
        QTest::addColumn<bool>("plainSecondWrite");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<QString>("numberFormat");
        QTest::addColumn<bool>("bold");
        // The second write is "12", plain or with all flags off.
        QTest::newRow("plain write keeps text format and bold")
            << true << true << true << false << "@" << true;
        QTest::newRow("formatted write turns bold off")
            << false << true << false << true << "General" << false;
        QTest::newRow("text format is not taken back") << true << false << false << false << "@" << false;
    }
    void rewritingACellKeepsOrChangesItsFormat()
    {
        QFETCH(bool, firstTextFormat);
        QFETCH(bool, firstBold);
        QFETCH(bool, plainSecondWrite);
        QFETCH(bool, isNumber);
        QFETCH(QString, numberFormat);
        QFETCH(bool, bold);
        QCOMPARE(m_writer->open(), Done);
        QCOMPARE(m_writer->writeFormattedCell(1, 1, 1, QStringLiteral("слово"),
                                              cellFormats(firstTextFormat, false, firstBold)),
                 Done);
        const QString second = QStringLiteral("12");
        QCOMPARE(plainSecondWrite
                     ? m_writer->writeCell(1, 1, 1, second)
                     : m_writer->writeFormattedCell(1, 1, 1, second, cellFormats(false, false, false)),
                 Done);

        const auto book = showWorkbook();
        QVERIFY(book);
        QCOMPARE(book->cellCount(), 1);
        const auto cell = book->cell(1, 1);
        QVERIFY(cell);
        QCOMPARE(cell->value, second);
        QCOMPARE(cell->isNumber, isNumber);
        QCOMPARE(cell->numberFormat, numberFormat);
        QCOMPARE(cell->bold, bold);
    }

    void fitsColumnsToTheLongestText_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<double>("characters"); // the width asked for: text plus margin
        QTest::newRow("one digit") << QStringList{"1"} << false << 2.0;
        QTest::newRow("longest of several") << QStringList{"1", "12345", "123"} << false << 6.0;
        QTest::newRow("Cyrillic letter is one character") << QStringList{"Фамилия И.О."} << false << 13.0;
        QTest::newRow("bold is wider") << QStringList{"Итого"} << true << 6.5;
        QTest::newRow("longest line of several") << QStringList{"ab\nabcdef"} << false << 7.0;
        QTest::newRow("empty text changes nothing") << QStringList{"abc", ""} << false << 4.0;
    }
    void fitsColumnsToTheLongestText()
    {
        QFETCH(QStringList, texts);
        QFETCH(bool, bold);
        QFETCH(double, characters);
        QCOMPARE(m_writer->open(), Done);
        for (int index = 0; index < texts.size(); ++index) {
            QCOMPARE(
                m_writer->writeFormattedCell(1, 1, index + 1, texts[index], cellFormats(false, false, bold)),
                Done);
            QCOMPARE(
                m_writer->writeFormattedCell(1, 3, index + 1, texts[index], cellFormats(false, true, bold)),
                Done);
        }

        const auto book = showWorkbook();
        QVERIFY(book);
        QCOMPARE(book->columnWidth(1), 0.0);
        QCOMPARE(book->columnWidth(2), 0.0);
        // The file stores the width as whole pixels of a 7-pixel character plus Excel's 5-pixel
        // cell margin, so the width read back is the one asked for plus 5/7, give or take half a pixel.
        const double width = book->columnWidth(3);
        QVERIFY2(qAbs(width - characters - 5.0 / 7) <= 0.5 / 7,
                 qPrintable(QStringLiteral("width %1 for %2").arg(width).arg(characters)));
    }

    void emptyTextWritesNothing_data()
    {
        QTest::addColumn<Workbook>("workbook");
        QTest::addColumn<int>("sheet");
        QTest::newRow("open workbook") << Workbook::Open << 1;
        QTest::newRow("sheet 0") << Workbook::Open << 0;
        QTest::newRow("sheet 2") << Workbook::Open << 2;
        QTest::newRow("no workbook") << Workbook::NeverOpened << 1;
    }
    void emptyTextWritesNothing()
    {
        QFETCH(Workbook, workbook);
        QFETCH(int, sheet);
        if (workbook == Workbook::Open)
            QCOMPARE(m_writer->open(), Done);
        QCOMPARE(m_writer->writeCell(sheet, 1, 1, QString()), Done);
        QCOMPARE(m_writer->writeFormattedCell(sheet, 2, 2, QString(), cellFormats(true, true, true)), Done);
        QVERIFY(m_messages.shown().isEmpty());
        if (workbook != Workbook::Open)
            return;
        const auto book = showWorkbook();
        QVERIFY(book);
        QCOMPARE(book->cellCount(), 0);
        QCOMPARE(book->columnWidth(2), 0.0);
    }

    void refusesWritesItCannotPlace_data()
    {
        QTest::addColumn<Workbook>("workbook");
        QTest::addColumn<int>("sheet");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("sheet 0") << Workbook::Open << 0 << 1 << 1
                                 << "Ошибка при записи: лист 0, столбец 1, строка 1" << kWrongSheet;
        QTest::newRow("sheet 2") << Workbook::Open << 2 << 5 << 12
                                 << "Ошибка при записи: лист 2, столбец 5, строка 12" << kWrongSheet;
        QTest::newRow("negative sheet") << Workbook::Open << -1 << 1 << 1
                                        << "Ошибка при записи: лист -1, столбец 1, строка 1" << kWrongSheet;
        QTest::newRow("column 0") << Workbook::Open << 1 << 0 << 3
                                  << "Ошибка при записи: лист 1, столбец 0, строка 3" << kCellError;
        QTest::newRow("row 0") << Workbook::Open << 1 << 3 << 0
                               << "Ошибка при записи: лист 1, столбец 3, строка 0" << kCellError;
        QTest::newRow("column past the last")
            << Workbook::Open << 1 << 16385 << 1 << "Ошибка при записи: лист 1, столбец 16385, строка 1"
            << kCellError;
        QTest::newRow("row past the last")
            << Workbook::Open << 1 << 1 << 1048577 << "Ошибка при записи: лист 1, столбец 1, строка 1048577"
            << kCellError;
        QTest::newRow("never opened") << Workbook::NeverOpened << 1 << 5 << 12
                                      << "Ошибка при записи: лист 1, столбец 5, строка 12" << kCellError;
        QTest::newRow("already shown") << Workbook::AlreadyShown << 1 << 1 << 1
                                       << "Ошибка при записи: лист 1, столбец 1, строка 1" << kCellError;
    }
    void refusesWritesItCannotPlace()
    {
        QFETCH(Workbook, workbook);
        QFETCH(int, sheet);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        if (workbook != Workbook::NeverOpened)
            QCOMPARE(m_writer->open(), Done);
        if (workbook == Workbook::AlreadyShown)
            QCOMPARE(m_writer->show(true), Done);

        QCOMPARE(m_writer->writeCell(sheet, column, row, QStringLiteral("12")), Failed);
        verifyShownOnce(text, caption);
        QCOMPARE(m_writer->writeFormattedCell(sheet, column, row, QStringLiteral("12"),
                                              cellFormats(true, true, true)),
                 Failed);
        verifyShownOnce(text, caption);

        if (workbook == Workbook::Open) {
            const auto book = showWorkbook();
            QVERIFY(book);
            QCOMPARE(book->cellCount(), 0);
        }
    }

    void showHandsTheWorkbookOverOnce()
    {
        QCOMPARE(m_writer->show(true), Done);
        QVERIFY(m_viewer.opened().isEmpty());

        QCOMPARE(m_writer->open(), Done);
        QCOMPARE(m_writer->show(false), Done);
        QVERIFY(m_viewer.opened().isEmpty());
        QCOMPARE(m_writer->writeCell(1, 1, 1, QStringLiteral("Марка")), Done);

        const auto book = showWorkbook();
        QVERIFY(book);
        QCOMPARE(book->sheetNames(), QStringList{QStringLiteral("Лист1")});
        QCOMPARE(book->cell(1, 1)->value, QStringLiteral("Марка"));
        const QFileInfo file(m_viewer.opened().first());
        QCOMPARE(QFileInfo(file.absolutePath()).absolutePath(),
                 QFileInfo(m_folder->path()).absoluteFilePath());
        QVERIFY2(QRegularExpression(QStringLiteral("^tabel-\\w{6}$")).match(file.dir().dirName()).hasMatch(),
                 qPrintable(file.filePath()));
        QCOMPARE(file.fileName(), QStringLiteral("Книга.xlsx"));

        QCOMPARE(m_writer->show(true), Done);
        QCOMPARE(m_viewer.opened().size(), 1);
        QVERIFY(file.exists());
    }

    void openFailsWhenTheFolderIsUnusable_data()
    {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::newRow("missing folder") << false;
        QTest::newRow("folder is a file") << true;
    }
    void openFailsWhenTheFolderIsUnusable()
    {
        QFETCH(bool, folderIsAFile);
        // Permissions would not stop a test run as root; a path that cannot be a folder does.
        const QString folder = m_folder->filePath(QStringLiteral("no-folder"));
        if (folderIsAFile) {
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        SpreadsheetWriter writer(m_messages, m_viewer, folder);

        QCOMPARE(writer.open(), Failed);
        verifyShownOnce(QStringLiteral("Невозможно открыть Microsoft Excel."), QStringLiteral("Ошибка"));
        QCOMPARE(writer.show(true), Done);
        QVERIFY(m_viewer.opened().isEmpty());
        QCOMPARE(writer.writeCell(1, 1, 1, QStringLiteral("x")), Failed);
        verifyShownOnce(QStringLiteral("Ошибка при записи: лист 1, столбец 1, строка 1"), kCellError);
    }

    void laterOpenStartsANewWorkbook()
    {
        QCOMPARE(m_writer->open(), Done);
        QCOMPARE(m_writer->writeCell(1, 1, 1, QStringLiteral("старое")), Done);
        QCOMPARE(m_writer->open(), Done);
        QCOMPARE(m_writer->writeCell(1, 2, 2, QStringLiteral("новое")), Done);

        const auto book = showWorkbook();
        QVERIFY(book);
        QCOMPARE(book->cellCount(), 1);
        QCOMPARE(book->cell(2, 2)->value, QStringLiteral("новое"));
        // The abandoned workbook leaves no file or folder behind.
        const QFileInfo shown(m_viewer.opened().first());
        QCOMPARE(workbookFiles(), QStringList{shown.dir().dirName() + "/" + shown.fileName()});
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);
    }

    // The spreadsheet program proposes the workbook's own name when the user saves it; old
    // workbooks go, new ones and other files stay.
    void workbooksAreNamedAndOldOnesRemoved()
    {
        QCOMPARE(m_writer->open(QStringLiteral("Табель Декабрь 2026")), Done);
        QCOMPARE(m_writer->writeCell(1, 1, 1, QStringLiteral("x")), Done);
        QCOMPARE(m_writer->show(true), Done);
        QCOMPARE(QFileInfo(m_viewer.opened().first()).fileName(), QStringLiteral("Табель Декабрь 2026.xlsx"));

        const QDir folder(m_folder->path());
        const QDateTime now = QDateTime::currentDateTime();
        auto make = [&](const QString& name, bool isFolder, int ageHours) {
            const QString path = folder.filePath(name);
            if (isFolder) {
                QVERIFY(folder.mkpath(name + "/inner"));
            } else {
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
            QVERIFY(setModified(path, now.addSecs(-3600 * ageHours)));
        };
        make("tabel-aaaaaa", true, 30);
        make("tabel-bbbbbb.xlsx", false, 30);
        make("tabel-cccccc", true, 2);
        make("other-dddddd", true, 30);
        make("tabel-notes.txt", false, 30);
        QCOMPARE(SpreadsheetWriter::removeWorkbooksOlderThan(now.addDays(-1), m_folder->path()), 2);
        QStringList left = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        left.removeOne(QFileInfo(m_viewer.opened().first()).dir().dirName());
        QCOMPARE(left, QStringList({"other-dddddd", "tabel-cccccc", "tabel-notes.txt"}));
    }

    void instancesAreIndependent()
    {
        RecordingSpreadsheetViewer otherViewer;
        SpreadsheetWriter other(m_messages, otherViewer, m_folder->path());
        QCOMPARE(m_writer->open(), Done);
        QCOMPARE(other.open(), Done);
        QCOMPARE(m_writer->writeCell(1, 1, 1, QStringLiteral("отчёт")), Done);
        QCOMPARE(other.writeFormattedCell(1, 1, 2, QStringLiteral("табель"), cellFormats(true, true, true)),
                 Done);

        QCOMPARE(other.show(true), Done);
        QCOMPARE(otherViewer.opened().size(), 1);
        const XlsxReader timeSheet(otherViewer.opened().first());
        QCOMPARE(timeSheet.cellCount(), 1);
        QCOMPARE(timeSheet.cell(1, 2)->value, QStringLiteral("табель"));

        QCOMPARE(m_writer->writeCell(1, 2, 1, QStringLiteral("ещё")), Done);
        const auto report = showWorkbook();
        QVERIFY(report);
        QCOMPARE(report->cellCount(), 2);
        QCOMPARE(report->cell(1, 1)->value, QStringLiteral("отчёт"));
        QVERIFY(!report->cell(1, 2));
        QVERIFY(m_viewer.opened().first() != otherViewer.opened().first());
    }

    void tellsWhenTheWorkbookCannotBeSaved()
    {
        QCOMPARE(m_writer->open(), Done);
        QCOMPARE(m_writer->writeCell(1, 1, 1, QStringLiteral("x")), Done);
        const QStringList files = workbookFiles();
        QCOMPARE(files.size(), 1);
        const QString path = QDir(m_folder->path()).filePath(files.first());
        QVERIFY(m_folder->remove());

        QCOMPARE(m_writer->show(true), Done);
        QVERIFY(m_viewer.opened().isEmpty());
        verifyShownOnce(
            QStringLiteral("Не удалось сохранить таблицу в файл %1.").arg(QDir::toNativeSeparators(path)),
            QStringLiteral("Ошибка"));
    }

    void desktopViewerTellsWhereAnUnopenedFileIs_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("opened");
        QTest::newRow("opened") << true << 0 << true;
        QTest::newRow("no program for the file") << true << 3 << false;
        QTest::newRow("xdg-open missing") << false << 0 << false;
    }
    void desktopViewerTellsWhereAnUnopenedFileIs()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows hands the workbook to the shell, whose file associations are the machine's own");
#endif
        QFETCH(bool, installed);
        QFETCH(int, exitCode);
        QFETCH(bool, opened);
        const QString bin = m_folder->filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString received = m_folder->filePath(QStringLiteral("received"));
        if (installed) {
            QFile script(QDir(bin).filePath(QStringLiteral("xdg-open")));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\nexit %2\n")
                             .arg(received)
                             .arg(exitCode)
                             .toLocal8Bit());
            script.close();
            QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
        }
        const PathOverride path(bin);
        const QString workbook = m_folder->filePath(QStringLiteral("tabel-abcdef.xlsx"));

        DesktopSpreadsheetViewer viewer(m_messages);
        QSignalSpy finished(&viewer, &DesktopSpreadsheetViewer::finished);
        viewer.open(workbook);
        if (finished.isEmpty())
            QVERIFY(finished.wait(60000));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().at(0).toString(), workbook);
        QCOMPARE(finished.first().at(1).toBool(), opened);
        if (installed) {
            QFile file(received);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromLocal8Bit(file.readAll()), workbook);
        }
        if (opened)
            QVERIFY(m_messages.shown().isEmpty());
        else
            verifyShownOnce(QStringLiteral("Не удалось открыть таблицу. Файл сохранён: ") + workbook,
                            QStringLiteral("Ошибка"));
    }
};

QTEST_GUILESS_MAIN(TestSpreadsheetWriter)
#include "TestSpreadsheetWriter.moc"

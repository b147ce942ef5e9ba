#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace tabel {

struct XlsxCell
{
    bool isNumber = false;
    QString value; // the string itself, or the number as the file stores it
    bool bold = false;
    QString numberFormat; // "General", "@", ...
};

// Reads back what the spreadsheet program would see in an .xlsx: the sheet names, the cells
// of the first sheet with their type and style, and its column widths.
class XlsxReader
{
public:
    explicit XlsxReader(const QString& path);

    QString error() const { return m_error; } // empty when the file was read
    QStringList sheetNames() const { return m_sheetNames; }
    int cellCount() const { return m_cells.size(); }
    std::optional<XlsxCell> cell(int column, int row) const;
    // 0 when the column keeps the default width.
    double columnWidth(int column) const { return m_columnWidths.value(column); }

    static QString reference(int column, int row);

private:
    bool readArchive(const QString& path);
    void readWorkbook();
    QStringList readSharedStrings();
    void readStyles();
    void readSheet(const QStringList& sharedStrings);

    QString m_error;
    QHash<QString, QByteArray> m_entries;
    QStringList m_sheetNames;
    QList<bool> m_xfBold;
    QList<QString> m_xfFormat;
    QHash<QString, XlsxCell> m_cells;
    QHash<int, double> m_columnWidths;
};

} // namespace tabel

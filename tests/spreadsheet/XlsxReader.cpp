#include "spreadsheet/XlsxReader.h"

#include <QFile>
#include <QXmlStreamReader>
#include <QtEndian>

#include <zlib.h>

namespace tabel {

namespace {

quint16 read16(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

quint32 read32(const QByteArray& data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

std::optional<QByteArray> inflateRaw(const QByteArray& compressed, qsizetype size)
{
    QByteArray output(size, '\0');
    z_stream stream = {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = uInt(compressed.size());
    stream.next_out = reinterpret_cast<Bytef*>(output.data());
    stream.avail_out = uInt(output.size());
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    if (result != Z_STREAM_END || stream.total_out != uLong(size))
        return std::nullopt;
    return output;
}

const QHash<int, QString>& builtInFormats()
{
    static const QHash<int, QString> formats{{0, QStringLiteral("General")}, {49, QStringLiteral("@")}};
    return formats;
}

} // namespace

XlsxReader::XlsxReader(const QString& path)
{
    if (!readArchive(path))
        return;
    readWorkbook();
    const QStringList sharedStrings = readSharedStrings();
    readStyles();
    readSheet(sharedStrings);
}

QString XlsxReader::reference(int column, int row)
{
    QString letters;
    for (int rest = column; rest > 0; rest = (rest - 1) / 26)
        letters.prepend(QChar('A' + (rest - 1) % 26));
    return letters + QString::number(row);
}

std::optional<XlsxCell> XlsxReader::cell(int column, int row) const
{
    const auto found = m_cells.constFind(reference(column, row));
    if (found == m_cells.cend())
        return std::nullopt;
    return *found;
}

bool XlsxReader::readArchive(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("cannot read ") + path;
        return false;
    }
    const QByteArray data = file.readAll();
    // The end-of-directory record sits at the end, behind a comment of at most 64 KiB.
    qsizetype end = data.size() - 22;
    while (end >= 0 && read32(data, end) != 0x06054b50)
        --end;
    if (end < 0) {
        m_error = QStringLiteral("not a zip archive");
        return false;
    }
    const int entries = read16(data, end + 10);
    qsizetype at = read32(data, end + 16);
    for (int index = 0; index < entries; ++index) {
        if (at + 46 > data.size() || read32(data, at) != 0x02014b50) {
            m_error = QStringLiteral("broken central directory");
            return false;
        }
        const int method = read16(data, at + 10);
        const qsizetype compressedSize = read32(data, at + 20);
        const qsizetype size = read32(data, at + 24);
        const int nameLength = read16(data, at + 28);
        const qsizetype local = read32(data, at + 42);
        const QString name = QString::fromUtf8(data.mid(at + 46, nameLength));
        at += 46 + nameLength + read16(data, at + 30) + read16(data, at + 32);

        const qsizetype start = local + 30 + read16(data, local + 26) + read16(data, local + 28);
        const QByteArray stored = data.mid(start, compressedSize);
        std::optional<QByteArray> content;
        if (method == 0)
            content = stored;
        else if (method == Z_DEFLATED)
            content = inflateRaw(stored, size);
        if (!content) {
            m_error = QStringLiteral("cannot unpack ") + name;
            return false;
        }
        m_entries.insert(name, *content);
    }
    return true;
}

void XlsxReader::readWorkbook()
{
    QXmlStreamReader xml(m_entries.value(QStringLiteral("xl/workbook.xml")));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("sheet"))
            m_sheetNames.append(xml.attributes().value(QLatin1String("name")).toString());
    }
}

QStringList XlsxReader::readSharedStrings()
{
    QStringList strings;
    QXmlStreamReader xml(m_entries.value(QStringLiteral("xl/sharedStrings.xml")));
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("si"))
            strings.append(QString());
        else if (xml.name() == QLatin1String("t") && !strings.isEmpty())
            strings.last() += xml.readElementText();
    }
    return strings;
}

void XlsxReader::readStyles()
{
    QHash<int, QString> formats = builtInFormats();
    QList<bool> fontBold;
    QXmlStreamReader xml(m_entries.value(QStringLiteral("xl/styles.xml")));
    QString sectionName;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        const auto attributes = xml.attributes();
        if (name == QLatin1String("numFmts") || name == QLatin1String("fonts") ||
            name == QLatin1String("cellXfs") || name == QLatin1String("cellStyleXfs") ||
            name == QLatin1String("dxfs")) {
            sectionName = name.toString();
        } else if (name == QLatin1String("numFmt")) {
            formats.insert(attributes.value(QLatin1String("numFmtId")).toInt(),
                           attributes.value(QLatin1String("formatCode")).toString());
        } else if (name == QLatin1String("font") && sectionName == QLatin1String("fonts")) {
            fontBold.append(false);
        } else if (name == QLatin1String("b") && sectionName == QLatin1String("fonts") &&
                   !fontBold.isEmpty()) {
            const auto value = attributes.value(QLatin1String("val"));
            fontBold.last() =
                value.isEmpty() || value == QLatin1String("1") || value == QLatin1String("true");
        } else if (name == QLatin1String("xf") && sectionName == QLatin1String("cellXfs")) {
            const int font = attributes.value(QLatin1String("fontId")).toInt();
            m_xfBold.append(fontBold.value(font));
            m_xfFormat.append(
                formats.value(attributes.value(QLatin1String("numFmtId")).toInt(), QStringLiteral("?")));
        }
    }
}

void XlsxReader::readSheet(const QStringList& sharedStrings)
{
    QXmlStreamReader xml(m_entries.value(QStringLiteral("xl/worksheets/sheet1.xml")));
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto attributes = xml.attributes();
        if (xml.name() == QLatin1String("col")) {
            const int first = attributes.value(QLatin1String("min")).toInt();
            const int last = attributes.value(QLatin1String("max")).toInt();
            for (int column = first; column <= last; ++column)
                m_columnWidths.insert(column, attributes.value(QLatin1String("width")).toDouble());
        } else if (xml.name() == QLatin1String("c")) {
            const QString reference = attributes.value(QLatin1String("r")).toString();
            const QString type = attributes.value(QLatin1String("t")).toString();
            const int style = attributes.value(QLatin1String("s")).toInt();
            XlsxCell cell;
            cell.bold = m_xfBold.value(style);
            cell.numberFormat = m_xfFormat.value(style, QStringLiteral("General"));
            cell.isNumber = type.isEmpty() || type == QLatin1String("n");
            QString value;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("v") || xml.name() == QLatin1String("t"))
                    value = xml.readElementText();
                else if (xml.name() != QLatin1String("is"))
                    xml.skipCurrentElement();
            }
            cell.value = type == QLatin1String("s") ? sharedStrings.value(value.toInt()) : value;
            m_cells.insert(reference, cell);
        }
    }
}

} // namespace tabel

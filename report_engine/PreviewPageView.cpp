#include "report_engine/PreviewPageView.h"

#include "report_engine/PreparedReport.h"

#include <QPaintEvent>
#include <QPainter>

namespace tabel {

PreviewPageView::PreviewPageView(PreparedReport& report, QWidget* parent) : QWidget(parent), m_report(report)
{
    setObjectName(QStringLiteral("PreviewPage"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSizeF PreviewPageView::unzoomedPixelSize() const
{
    const QSizeF units = m_report.pageSize();
    return QSizeF(units.width() * logicalDpiX() / reportUnitsPerInch,
                  units.height() * logicalDpiY() / reportUnitsPerInch);
}

void PreviewPageView::showPage(int index, double zoom)
{
    m_pageIndex = index;
    m_zoom = zoom;
    const QSizeF pixels = unzoomedPixelSize() * zoom;
    setFixedSize(qRound(pixels.width()), qRound(pixels.height()));
    update();
}

void PreviewPageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(m_zoom, m_zoom);
    m_report.paintPage(m_pageIndex, painter);
}

} // namespace tabel

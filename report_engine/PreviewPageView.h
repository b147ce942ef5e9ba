#pragma once

#include <QWidget>

namespace tabel {

class PreparedReport;

// The one page the preview shows, drawn at its zoom. Only this page is ever painted, and only
// the part the scroll area exposes.
class PreviewPageView : public QWidget
{
    Q_OBJECT
public:
    PreviewPageView(PreparedReport& report, QWidget* parent = nullptr);

    void showPage(int index, double zoom);
    int pageIndex() const { return m_pageIndex; }
    double zoom() const { return m_zoom; }
    // The page's size on this screen at zoom 1.
    QSizeF unzoomedPixelSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PreparedReport& m_report;
    int m_pageIndex = 0;
    double m_zoom = 1;
};

} // namespace tabel

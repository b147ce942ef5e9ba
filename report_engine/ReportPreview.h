#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

class QLabel;
class QScrollArea;
class QSpinBox;
class QAction;

namespace tabel {

class PreparedReport;
class PreviewPageView;

// The report on screen before it goes to paper or to a PDF. The first page shows at once;
// the rest are counted in short slices between events, so the window stays responsive and the
// page count grows while the user reads.
class ReportPreview : public QDialog
{
    Q_OBJECT
public:
    // Asked for the file "Сохранить в PDF" writes, with the name it proposes; an empty answer
    // cancels.
    using PdfFileQuestion = std::function<QString(QWidget* parent, const QString& suggestedName)>;

    // documentName says what the report is ("Табель Декабрь 2026"): the window's title, the
    // proposed file name and the PDF's title.
    explicit ReportPreview(PreparedReport& report, const QString& documentName = QString(),
                           QWidget* parent = nullptr);

    void setPdfFileQuestion(PdfFileQuestion question) { m_askPdfFile = std::move(question); }

    int currentPage() const; // from 0
    void showPage(int index);
    double zoom() const;
    // "Страница 3 из 120…" while pages are still being counted.
    QString pageStatus() const;
    // What the last save or print did, for the user to read.
    QString resultText() const;
    // The file name "Сохранить в PDF" proposes.
    QString suggestedPdfName() const;

public slots:
    void print();
    void saveToPdf();
    void zoomIn();
    void zoomOut();
    void fitWholePage();
    void fitPageWidth();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class ZoomMode {
        Free,
        WholePage,
        PageWidth,
    };

    void buildToolBar(QLayout* layout);
    QAction* addToolAction(QWidget* bar, const QString& text, const QString& toolTip,
                           const QKeySequence& shortcut, const QString& objectName);
    void setZoom(double zoom, ZoomMode mode);
    void applyZoomMode();
    void layoutSlice();
    void updatePageStatus();
    void goToLastPage();
    bool turnPageByWheel(int delta);
    bool countPagesShowingProgress();

    PreparedReport& m_report;
    QString m_documentName;
    PdfFileQuestion m_askPdfFile;
    PreviewPageView* m_pageView = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    QSpinBox* m_pageNumberBox = nullptr;
    QLabel* m_pageStatus = nullptr;
    QLabel* m_resultText = nullptr;
    QTimer m_layoutTimer;
    ZoomMode m_zoomMode = ZoomMode::WholePage;
};

} // namespace tabel

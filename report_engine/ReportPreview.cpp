#include "report_engine/ReportPreview.h"

#include "common/BusyCursor.h"
#include "common/DocumentFileName.h"
#include "report_engine/PdfExport.h"
#include "report_engine/PreparedReport.h"
#include "report_engine/PreviewPageView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

namespace tabel {

namespace {

constexpr int layoutSliceMilliseconds = 25;
constexpr double zoomStep = 1.25;
constexpr double smallestZoom = 0.1;
constexpr double largestZoom = 8.0;
constexpr int pageGapPixels = 16; // grey around the page, so its edges show

const QString defaultDocumentName = QStringLiteral("Предварительный просмотр");

QString askPdfFileByDialog(QWidget* parent, const QString& suggestedName)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Сохранить в PDF"),
                                        QDir::home().filePath(suggestedName), QStringLiteral("PDF (*.pdf)"));
}

// "Страница k из N" with "Отмена" while a long report goes to paper or to a file.
class OutputProgress
{
public:
    OutputProgress(QWidget* parent, const QString& title)
        : m_dialog(QString(), QStringLiteral("Отмена"), 0, 0, parent)
    {
        m_dialog.setObjectName(QStringLiteral("OutputProgress"));
        m_dialog.setWindowTitle(title);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setMinimumDuration(500);
    }

    // Counts every page, saying how far it got; false if the user stopped it.
    bool countPages(PreparedReport& report)
    {
        while (!report.layoutMore(progressSliceMilliseconds)) {
            m_dialog.setLabelText(QStringLiteral("Подсчёт страниц: %1…").arg(report.knownPageCount()));
            QCoreApplication::processEvents();
            if (m_dialog.wasCanceled())
                return false;
        }
        return true;
    }

    PageProgress pages()
    {
        return [this](int done, int total) {
            m_dialog.setMaximum(total);
            m_dialog.setLabelText(QStringLiteral("Страница %1 из %2").arg(done).arg(total));
            m_dialog.setValue(done);
            QCoreApplication::processEvents();
            return !m_dialog.wasCanceled();
        };
    }

private:
    static constexpr int progressSliceMilliseconds = 100;
    QProgressDialog m_dialog;
};

} // namespace

ReportPreview::ReportPreview(PreparedReport& report, const QString& documentName, QWidget* parent)
    : QDialog(parent), m_report(report), m_documentName(documentName), m_askPdfFile(askPdfFileByDialog)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(documentName.isEmpty() ? defaultDocumentName : documentName);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    // The whole screen even where no window manager honours the maximised state.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);

    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar(layout);

    m_pageView = new PreviewPageView(report);
    m_scrollArea = new QScrollArea;
    m_scrollArea->setObjectName(QStringLiteral("PreviewScrollArea"));
    m_scrollArea->setBackgroundRole(QPalette::Dark);
    m_scrollArea->setAlignment(Qt::AlignCenter);
    m_scrollArea->setWidget(m_pageView);
    m_scrollArea->viewport()->installEventFilter(this);
    layout->addWidget(m_scrollArea, 1);

    m_zoomMode =
        report.definition().previewZoom == PreviewZoom::PageWidth ? ZoomMode::PageWidth : ZoomMode::WholePage;
    // The first page is laid out now, without waiting for the others to be counted.
    m_report.page(0);
    m_pageView->showPage(0, 1.0);
    applyZoomMode();
    updatePageStatus();
    m_pageView->setFocus();

    connect(&m_layoutTimer, &QTimer::timeout, this, &ReportPreview::layoutSlice);
    if (!m_report.isComplete())
        m_layoutTimer.start(0);
}

QAction* ReportPreview::addToolAction(QWidget* bar, const QString& text, const QString& toolTip,
                                      const QKeySequence& shortcut, const QString& objectName)
{
    auto action = new QAction(text, this);
    action->setObjectName(objectName);
    action->setToolTip(shortcut.isEmpty() ? toolTip
                                          : QStringLiteral("%1 (%2)").arg(
                                                toolTip, shortcut.toString(QKeySequence::NativeText)));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    addAction(action); // shortcuts work wherever the focus is in the window
    auto button = new QToolButton;
    button->setDefaultAction(action);
    button->setObjectName(objectName + QStringLiteral("Button"));
    button->setAutoRaise(true);
    bar->layout()->addWidget(button);
    return action;
}

void ReportPreview::buildToolBar(QLayout* layout)
{
    auto bar = new QWidget;
    bar->setObjectName(QStringLiteral("PreviewToolBar"));
    auto row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);

    connect(addToolAction(bar, QStringLiteral("Печать…"), QStringLiteral("Напечатать отчёт"),
                          QKeySequence::Print, QStringLiteral("print")),
            &QAction::triggered, this, &ReportPreview::print);
    connect(addToolAction(bar, QStringLiteral("Сохранить в PDF"),
                          QStringLiteral("Сохранить отчёт в файл PDF"), {}, QStringLiteral("saveToPdf")),
            &QAction::triggered, this, &ReportPreview::saveToPdf);
    row->addSpacing(12);

    connect(addToolAction(bar, QStringLiteral("«"), QStringLiteral("Первая страница"),
                          QKeySequence(Qt::Key_Home), QStringLiteral("firstPage")),
            &QAction::triggered, this, [this] { showPage(0); });
    connect(addToolAction(bar, QStringLiteral("‹"), QStringLiteral("Предыдущая страница"),
                          QKeySequence(Qt::Key_PageUp), QStringLiteral("previousPage")),
            &QAction::triggered, this, [this] { showPage(currentPage() - 1); });
    m_pageNumberBox = new QSpinBox;
    m_pageNumberBox->setObjectName(QStringLiteral("pageNumberBox"));
    m_pageNumberBox->setToolTip(QStringLiteral("Номер страницы"));
    m_pageNumberBox->setRange(1, 1);
    m_pageNumberBox->setKeyboardTracking(false);
    connect(m_pageNumberBox, &QSpinBox::valueChanged, this, [this](int number) {
        if (number - 1 != currentPage())
            showPage(number - 1);
    });
    row->addWidget(m_pageNumberBox);
    connect(addToolAction(bar, QStringLiteral("›"), QStringLiteral("Следующая страница"),
                          QKeySequence(Qt::Key_PageDown), QStringLiteral("nextPage")),
            &QAction::triggered, this, [this] { showPage(currentPage() + 1); });
    connect(addToolAction(bar, QStringLiteral("»"), QStringLiteral("Последняя страница"),
                          QKeySequence(Qt::Key_End), QStringLiteral("lastPage")),
            &QAction::triggered, this, &ReportPreview::goToLastPage);
    m_pageStatus = new QLabel;
    m_pageStatus->setObjectName(QStringLiteral("pageStatus"));
    row->addWidget(m_pageStatus);
    row->addSpacing(12);

    connect(addToolAction(bar, QStringLiteral("−"), QStringLiteral("Уменьшить"), QKeySequence::ZoomOut,
                          QStringLiteral("zoomOut")),
            &QAction::triggered, this, &ReportPreview::zoomOut);
    connect(addToolAction(bar, QStringLiteral("+"), QStringLiteral("Увеличить"), QKeySequence::ZoomIn,
                          QStringLiteral("zoomIn")),
            &QAction::triggered, this, &ReportPreview::zoomIn);
    connect(addToolAction(bar, QStringLiteral("Страница целиком"),
                          QStringLiteral("Показать страницу целиком"), {}, QStringLiteral("fitWholePage")),
            &QAction::triggered, this, &ReportPreview::fitWholePage);
    connect(addToolAction(bar, QStringLiteral("По ширине"),
                          QStringLiteral("Показать страницу по ширине окна"), {},
                          QStringLiteral("fitPageWidth")),
            &QAction::triggered, this, &ReportPreview::fitPageWidth);
    m_resultText = new QLabel;
    m_resultText->setObjectName(QStringLiteral("resultText"));
    row->addWidget(m_resultText, 1);
    connect(addToolAction(bar, QStringLiteral("Закрыть"), QStringLiteral("Закрыть просмотр"), {},
                          QStringLiteral("close")),
            &QAction::triggered, this, &QDialog::reject);
    layout->addWidget(bar);
}

int ReportPreview::currentPage() const
{
    return m_pageView->pageIndex();
}

double ReportPreview::zoom() const
{
    return m_pageView->zoom();
}

void ReportPreview::showPage(int index)
{
    // A page past those counted so far is counted now: the user asked for it.
    if (index < 0 || !m_report.page(index))
        return;
    m_pageView->showPage(index, zoom());
    m_scrollArea->verticalScrollBar()->setValue(0);
    updatePageStatus();
}

void ReportPreview::goToLastPage()
{
    {
        BusyCursor busy;
        m_report.layoutAll();
    }
    m_layoutTimer.stop();
    showPage(m_report.knownPageCount() - 1);
}

QString ReportPreview::pageStatus() const
{
    return m_pageStatus->text();
}

QString ReportPreview::resultText() const
{
    return m_resultText->text();
}

void ReportPreview::updatePageStatus()
{
    const int known = m_report.knownPageCount();
    const bool complete = m_report.isComplete();
    m_pageStatus->setText(QStringLiteral("Страница %1 из %2%3")
                              .arg(currentPage() + 1)
                              .arg(known)
                              .arg(complete ? QString() : QStringLiteral("…")));
    const QSignalBlocker quiet(m_pageNumberBox);
    m_pageNumberBox->setMaximum(known);
    m_pageNumberBox->setValue(currentPage() + 1);
}

void ReportPreview::layoutSlice()
{
    if (m_report.layoutMore(layoutSliceMilliseconds))
        m_layoutTimer.stop();
    updatePageStatus();
}

void ReportPreview::setZoom(double zoom, ZoomMode mode)
{
    m_zoomMode = mode;
    m_pageView->showPage(currentPage(), std::clamp(zoom, smallestZoom, largestZoom));
}

void ReportPreview::applyZoomMode()
{
    const QSizeF page = m_pageView->unzoomedPixelSize();
    const QSize viewport = m_scrollArea->viewport()->size();
    const double scrollBar = m_scrollArea->verticalScrollBar()->sizeHint().width();
    switch (m_zoomMode) {
    case ZoomMode::WholePage:
        setZoom(std::min((viewport.width() - pageGapPixels) / page.width(),
                         (viewport.height() - pageGapPixels) / page.height()),
                ZoomMode::WholePage);
        break;
    case ZoomMode::PageWidth:
        // As if the vertical scroll bar were there: it will be, and the zoom must not flicker.
        setZoom((viewport.width() - scrollBar - pageGapPixels) / page.width(), ZoomMode::PageWidth);
        break;
    case ZoomMode::Free:
        break;
    }
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scrollArea->viewport() && event->type() == QEvent::Resize)
        applyZoomMode();
    if (watched == m_scrollArea->viewport() && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier) && turnPageByWheel(wheel->angleDelta().y()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

// The wheel scrolls the page and, at its end, goes on to the next one (at its top, to the one
// before), as a document viewer does.
bool ReportPreview::turnPageByWheel(int delta)
{
    QScrollBar* bar = m_scrollArea->verticalScrollBar();
    if (delta < 0 && bar->value() >= bar->maximum() && m_report.page(currentPage() + 1)) {
        showPage(currentPage() + 1);
        bar->setValue(bar->minimum());
        return true;
    }
    if (delta > 0 && bar->value() <= bar->minimum() && currentPage() > 0) {
        showPage(currentPage() - 1);
        bar->setValue(bar->maximum());
        return true;
    }
    return false;
}

QString ReportPreview::suggestedPdfName() const
{
    return documentFileName(m_documentName.isEmpty() ? QStringLiteral("Отчет") : m_documentName,
                            QStringLiteral("pdf"));
}

bool ReportPreview::countPagesShowingProgress()
{
    if (!m_report.isComplete()) {
        OutputProgress progress(this, windowTitle());
        if (!progress.countPages(m_report))
            return false;
    }
    m_layoutTimer.stop();
    updatePageStatus();
    return true;
}

void ReportPreview::zoomIn()
{
    setZoom(zoom() * zoomStep, ZoomMode::Free);
}

void ReportPreview::zoomOut()
{
    setZoom(zoom() / zoomStep, ZoomMode::Free);
}

void ReportPreview::fitWholePage()
{
    m_zoomMode = ZoomMode::WholePage;
    applyZoomMode();
}

void ReportPreview::fitPageWidth()
{
    m_zoomMode = ZoomMode::PageWidth;
    applyZoomMode();
}

void ReportPreview::print()
{
    if (!countPagesShowingProgress())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_report.printerPageLayout());
    printer.setFullPage(true);
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Печать"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    dialog.setMinMax(1, m_report.knownPageCount());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool range = printer.printRange() == QPrinter::PageRange;
    PageRange pages;
    if (range) {
        pages.first = std::max(printer.fromPage(), 1) - 1;
        pages.last = printer.toPage() > 0 ? printer.toPage() - 1 : -1;
    }
    OutputResult result = OutputResult::Failed;
    {
        OutputProgress progress(this, QStringLiteral("Печать"));
        result = printReport(m_report, printer, pages, progress.pages());
    }
    m_resultText->setText(result == OutputResult::Done ? QStringLiteral("Отправлено на печать")
                          : result == OutputResult::Cancelled ? QStringLiteral("Печать отменена")
                                                              : QStringLiteral("Не удалось начать печать"));
}

void ReportPreview::saveToPdf()
{
    QString fileName = m_askPdfFile(this, suggestedPdfName());
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        fileName += QLatin1String(".pdf");
    if (!countPagesShowingProgress())
        return;
    OutputResult result = OutputResult::Failed;
    {
        OutputProgress progress(this, QStringLiteral("Сохранить в PDF"));
        result = writeReportPdf(m_report, fileName, m_documentName, {}, progress.pages());
    }
    updatePageStatus();
    m_resultText->setText(result == OutputResult::Done ? QStringLiteral("Сохранено в %1").arg(fileName)
                          : result == OutputResult::Cancelled
                              ? QStringLiteral("Сохранение отменено")
                              : QStringLiteral("Не удалось записать файл %1").arg(fileName));
}

} // namespace tabel

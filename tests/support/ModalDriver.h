#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

namespace tabel {

// Acts on the next modal window that opens (one other than `current`), from inside its
// event loop. If none opens within a few seconds the test would hang in exec(), so every
// modal window is rejected and `failed` is set for the test to check.
class ModalDriver
{
public:
    void onNextModal(std::function<void(QWidget*)> action, QWidget* current = nullptr)
    {
        auto timer = new QTimer;
        auto waited = std::make_shared<int>(0);
        QPointer<QWidget> before(current);
        QObject::connect(timer, &QTimer::timeout, [this, timer, waited, before, action] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal != before) {
                timer->deleteLater();
                timer->stop();
                action(modal);
                return;
            }
            if (++*waited > 500) {
                timer->stop();
                timer->deleteLater();
                m_failed = true;
                while (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                    open->reject();
            }
        });
        timer->start(10);
    }
    // As onNextModal, and the window is closed afterwards if body left it open: a failed check
    // returns from body early and would otherwise leave exec() waiting.
    void whenOpen(const std::function<void(QWidget*)>& body, QWidget* opener = nullptr)
    {
        onNextModal(
            [body](QWidget* window) {
                body(window);
                if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
                    dialog->reject();
            },
            opener);
    }
    bool failed() const { return m_failed; }

private:
    bool m_failed = false;
};

} // namespace tabel

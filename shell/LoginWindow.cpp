#include "shell/LoginWindow.h"

#include "common/Messages.h"
#include "shell/VersionWatch.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>

#include <algorithm>

namespace tabel {

namespace {
const QString caption = QStringLiteral("Авторизация");
constexpr int clientWidth = 330;
constexpr int clientHeight = 44;
} // namespace

LoginWindow::LoginWindow(Messages& messages, QWidget* parent) : QDialog(parent), m_messages(messages)
{
    setObjectName(QStringLiteral("TForm23"));
    setWindowTitle(caption);

    m_passwordLabel = new QLabel(QStringLiteral("&Пароль:"), this);
    m_passwordLabel->setObjectName(QStringLiteral("passwordLabel"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("passwordBox"));
    m_password->setEchoMode(QLineEdit::Password);
    // Users know the box by its stars; the style's own mask is a dot.
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    m_password->setFixedWidth(121);
    m_password->setAccessibleName(QStringLiteral("Пароль"));
    m_passwordLabel->setBuddy(m_password);

    m_enter = new QPushButton(QStringLiteral("Вход"), this);
    m_enter->setObjectName(QStringLiteral("enterButton"));
    m_enter->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Отмена"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    // The window is only 330 wide; the label needs the room the buttons' default width takes.
    m_enter->setFixedWidth(64);
    m_cancel->setFixedWidth(64);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(m_passwordLabel);
    layout->addWidget(m_password);
    layout->addStretch();
    layout->addWidget(m_enter);
    layout->addWidget(m_cancel);

    setFixedSize(clientWidth, clientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(
            QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));

    connect(m_enter, &QPushButton::clicked, this, &LoginWindow::enterClicked);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void LoginWindow::setBuildStamp(const BuildStamp& build)
{
    setWindowTitle(caption + QStringLiteral(" (build: ") + build.text() + QLatin1Char(')'));
    fitCaption();
}

void LoginWindow::fitCaption()
{
    // The window manager cuts a caption longer than the title bar, and the build in it is
    // what the user reads out on the phone. Title bars use a bold face and need room beside
    // the text for the icon and the buttons.
    QFont titleFont = font();
    titleFont.setBold(true);
    const int needed = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + titleBarRoom;
    const int width = std::max(clientWidth, needed);
    if (width == this->width())
        return;
    const QPoint centre = geometry().center();
    setFixedSize(width, clientHeight);
    move(centre - rect().center());
}

void LoginWindow::followVersion(VersionWatch& watch)
{
    // Slots run in the order they were connected: the check, then the caption.
    connect(this, &LoginWindow::activated, &watch, &VersionWatch::check);
    connect(this, &LoginWindow::activated, &watch, [this, &watch] { setBuildStamp(watch.build()); });
}

void LoginWindow::modalWindowClosed()
{
    if (isVisible())
        emit activated();
}

void LoginWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A spontaneous show comes from the window system (restored from the taskbar), which is
    // the application getting the focus back, not an activation.
    if (!event->spontaneous())
        emit activated();
}

void LoginWindow::enterClicked()
{
    const QString loginName = m_password->text().trimmed();
    const std::optional<AccessLevel> level = accessForLoginWord(loginName);
    if (!level) {
        m_messages.error(QStringLiteral("Введены неверные данные."));
        // The next try replaces the refused word instead of adding to it.
        m_password->setFocus();
        m_password->selectAll();
        return;
    }
    emit loggedIn(*level, loginName);
}

} // namespace tabel

#pragma once

#include "shell/AccessPolicy.h"
#include "shell/BuildStamp.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tabel {

class Messages;
class VersionWatch;

// The first window and the application's main one (TForm23): one word, a role name or a
// full-access password, decides what the user may do. Closing it (Отмена, Esc, close box)
// rejects it; the application ends when it closes.
class LoginWindow : public QDialog
{
    Q_OBJECT
public:
    explicit LoginWindow(Messages& messages, QWidget* parent = nullptr);

    QLineEdit* passwordBox() const { return m_password; }
    QPushButton* enterButton() const { return m_enter; }
    QPushButton* cancelButton() const { return m_cancel; }

    // Shows the build in the caption: "Авторизация (build: 20230829.40333)".
    void setBuildStamp(const BuildStamp& build);
    // Room beside a caption's text in a title bar: the icon and three buttons.
    static constexpr int titleBarRoom = 140;
    // Every activation runs the version check first and then shows the checked build in the
    // caption; a check that fails leaves the caption as it was.
    void followVersion(VersionWatch& watch);

    // For a modal window opened from here that closed while this window stayed visible. The
    // application hides this window while the main log window is open, so in practice the
    // show that follows is the activation and nothing needs to call this.
    void modalWindowClosed();

signals:
    // The window became active in the program's own sense: shown, or back from a modal window
    // it opened. Not emitted when the application regains the focus from another program.
    void activated();
    // A successful "Вход"; loginName is the typed text without blanks around it.
    void loggedIn(tabel::AccessLevel level, const QString& loginName);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void enterClicked();
    void fitCaption();

    Messages& m_messages;
    QLabel* m_passwordLabel = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_enter = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace tabel

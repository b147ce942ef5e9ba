#include "common/DialogMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace tabel {

namespace {
QMessageBox::Icon toQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

MessageAnswer DialogMessages::show(const Message& message)
{
    QMessageBox box(toQt(message.icon), message.caption, message.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    if (!message.detail.isEmpty())
        box.setInformativeText(message.detail);
    if (message.buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (message.buttons == MessageButtons::YesNo)
        return result == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    return MessageAnswer::Ok;
}

} // namespace tabel

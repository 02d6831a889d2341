#include "shell/ui/Dialogs.h"

#include <QMessageBox>
#include <QPushButton>

namespace tavlor {

bool AskConfirmation(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Bestätigung"), text, QMessageBox::NoButton,
                    parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void ShowPlainMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tavlor"), text, QMessageBox::Ok, parent);
    box.exec();
}

void ShowErrorReport(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tavlor"), text, QMessageBox::Ok, parent);
    box.exec();
}

bool RunReported(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        ShowErrorReport(parent, QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace tavlor

#include "dialup/ui/QtManagerUi.h"

#include <QApplication>
#include <QEventLoop>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace tavlor {

namespace {
QString caption()
{
    return QGuiApplication::applicationDisplayName();
}
} // namespace

QtManagerUi::QtManagerUi(QListWidget* entries, QWidget* window) : m_entries(entries), m_window(window) {}

QtManagerUi::~QtManagerUi()
{
    while (m_busyDepth > 0) {
        setBusyCursor(false);
    }
}

void QtManagerUi::clearEntries()
{
    m_entries->clear();
}

void QtManagerUi::addEntry(const std::string& name)
{
    m_entries->addItem(QString::fromStdString(name));
}

int QtManagerUi::entryCount() const
{
    return m_entries->count();
}

int QtManagerUi::selectedIndex() const
{
    return m_entries->currentRow();
}

void QtManagerUi::setSelectedIndex(int index)
{
    // Only a click runs lstEntriesClick; moving the current row does not.
    m_entries->setCurrentRow(index);
}

std::string QtManagerUi::entryText(int index) const
{
    const QListWidgetItem* item = m_entries->item(index);
    return item != nullptr ? item->text().toStdString() : std::string();
}

void QtManagerUi::showMessage(const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption(), QString::fromStdString(text), QMessageBox::Ok, m_window);
    box.exec();
}

bool QtManagerUi::askWarning(const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, caption(), QString::fromStdString(text), QMessageBox::NoButton,
                    m_window);
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

std::string QtManagerUi::inputQuery(const std::string& caption, const std::string& prompt,
                                    const std::string& prefilled)
{
    QInputDialog dialog(m_window);
    dialog.setWindowTitle(QString::fromStdString(caption));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString::fromStdString(prefilled));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dialog.exec() != QDialog::Accepted) {
        return prefilled;
    }
    return dialog.textValue().toStdString();
}

bool QtManagerUi::askEntryFields(DialupEntryFields& fields, bool isNew, bool passwordStored,
                                 const FieldsProblem& problem)
{
    EntryDialog dialog(fields, isNew, passwordStored, problem, m_window);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    fields = dialog.fields();
    return true;
}

void QtManagerUi::setBusyCursor(bool busy)
{
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_busyDepth;
    } else if (m_busyDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_busyDepth;
    }
}

void QtManagerUi::waitMs(int milliseconds)
{
    // Timers and painting go on; clicks wait, as they would behind a blocking sleep.
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void QtManagerUi::setWindowWidth(int width)
{
    // The main window maps the design widths to what its columns need in the desktop's font.
    if (m_window->metaObject()->indexOfMethod("setDesignWidth(int)") >= 0) {
        QMetaObject::invokeMethod(m_window, "setDesignWidth", Q_ARG(int, width));
        return;
    }
    m_window->resize(width, m_window->height());
}

void* QtManagerUi::ownerWindow()
{
    // The system's dialogs want the window's native handle, not the widget object.
    return reinterpret_cast<void*>(m_window->winId());
}

} // namespace tavlor

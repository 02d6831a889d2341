#include "dialup/ui/QtManagerUi.h"
#include "text/WidgetNames.h"

#include "FakeDialupService.h"
#include "dialup/ConnectionManager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <iterator>

using namespace tavlor;

namespace {
struct SeenBox
{
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Answers the next modal message box by pressing the button with `answer` as its text.
void answerNextBox(SeenBox& seen, const QString& answer)
{
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) {
            seen.buttons << button->text();
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == answer) {
                button->click();
            }
        }
    });
}

void answerNextInput(const std::function<void(QInputDialog*)>& act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        act(dialog);
    });
}
} // namespace

class QtManagerUiTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_fake = std::make_unique<test::FakeDialupService>();
        m_fake->entries = {{"T-Online", "anonymer", "0191011", "", true, "T-Online"},
                           {"Handy", "ich", "*99#", "geheim", true, "Handy"}};
        m_window = std::make_unique<QWidget>();
        m_window->resize(831, 400);
        m_list = new QListWidget(m_window.get());
        m_ui = std::make_unique<QtManagerUi>(m_list, m_window.get());
        m_view = std::make_unique<ViewModel>();
        m_manager = std::make_unique<ConnectionManager>(*m_fake, *m_view, *m_ui, m_gateway);
        m_manager->initialiseControls();
    }
    void cleanup()
    {
        m_manager.reset();
        m_ui.reset();
        m_window.reset();
        m_fake.reset();
    }

    void openingSelectsTheConnectedEntryAndWidensTheWindow()
    {
        QCOMPARE(m_window->width(), 450);
        m_fake->active = {{"/a/4", "Handy", "ttyUSB0", "ppp0", "Handy"}};
        m_manager->RefreshConnectionStatus();
        m_manager->btnDetailsClick();
        QCOMPARE(m_list->count(), 2);
        QCOMPARE(m_list->currentRow(), 1);
        QCOMPARE(m_view->text(names::eUser), std::string("ich")); // the connected entry's values
        QCOMPARE(m_window->width(), 830);
        m_manager->btnDetailsClick();
        QCOMPARE(m_window->width(), 450);
        QCOMPARE(m_list->currentRow(), 1);
    }

    void failuresAppearAsPlainMessageBoxes()
    {
        m_fake->results["list"] = DialupResult::failure(DialupResult::Status::ServiceMissing, "");
        SeenBox seen;
        answerNextBox(seen, QStringLiteral("OK"));
        m_manager->RefreshEntryList();
        QCOMPARE(seen.text, QStringLiteral("RasEnumEntries failed."));
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(m_list->count(), 0);
    }

    void deleteQuestionCarriesTheWarningIconAndOnlyJaDeletes()
    {
        m_manager->RefreshEntryList();
        SeenBox seen;
        answerNextBox(seen, QStringLiteral("&Nein"));
        m_manager->btnDeleteEntryClick();
        QCOMPARE(seen.text, QStringLiteral("T-Online wirklich löschen?"));
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QVERIFY(std::find(m_fake->requests.begin(), m_fake->requests.end(), "delete T-Online") ==
                m_fake->requests.end());

        SeenBox again;
        answerNextBox(again, QStringLiteral("&Ja"));
        m_manager->btnDeleteEntryClick();
        QVERIFY(std::find(m_fake->requests.begin(), m_fake->requests.end(), "delete T-Online") !=
                m_fake->requests.end());
    }

    void renameInputGivesTheEditedTextOrOnCancelThePrefilledOne()
    {
        m_manager->RefreshEntryList();
        answerNextInput([](QInputDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Eintrag ändern"));
            QCOMPARE(dialog->labelText(), QStringLiteral("Neuer Name:"));
            QCOMPARE(dialog->textValue(), QStringLiteral("T-Online"));
            dialog->setTextValue(QStringLiteral("Büro"));
            dialog->accept();
        });
        m_manager->btnRenameEntryClick();
        answerNextInput([](QInputDialog* dialog) {
            dialog->setTextValue(QStringLiteral("verworfen"));
            dialog->reject();
        });
        m_manager->btnRenameEntryClick();
        std::vector<std::string> renames;
        std::copy_if(m_fake->requests.begin(), m_fake->requests.end(), std::back_inserter(renames),
                     [](const std::string& r) { return r.rfind("rename", 0) == 0; });
        // Cancel hands the prefilled name back, so the same name is requested for the same entry.
        QCOMPARE(renames, (std::vector<std::string>{"rename T-Online>Büro", "rename T-Online>Büro"}));
    }

    void dialShowsTheHourglassUntilTheAnswerWhileTheWindowGoesOn()
    {
        m_manager->RefreshEntryList();
        m_fake->deferred = true;
        m_fake->results["dial"] = DialupResult::failure(DialupResult::Status::Failed, "Kein Modem.");
        m_manager->btnDialEntryClick();
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QCoreApplication::processEvents();
        SeenBox seen;
        answerNextBox(seen, QStringLiteral("OK"));
        m_fake->answerAll();
        QCOMPARE(seen.text, QStringLiteral("Verbindung konnte nicht hergestellt werden\nKein Modem."));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void theEntryDialogOpensWithTheStoredValuesAndKeepsAnUntypedPassword()
    {
        m_manager->RefreshEntryList();
        m_list->setCurrentRow(1);
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            auto* password = dialog->findChild<QLineEdit*>(QLatin1String(names::eEntryPass));
            QCOMPARE(password->text(), QString());
            QCOMPARE(password->placeholderText(), QStringLiteral("(unverändert)"));
            dialog->findChild<QLineEdit*>(QLatin1String(names::eEntryUser))->setText(QStringLiteral("du"));
            dialog->accept();
        });
        m_manager->btnEditEntryClick();
        QCOMPARE(m_fake->edits, std::vector<std::string>{"Handy|du|*99#|(kept)"});
    }

    void theSystemDialogsGetTheWindowsNativeHandle()
    {
        void* owner = m_ui->ownerWindow();
        QVERIFY(owner != nullptr);
        QVERIFY(owner != static_cast<void*>(m_window.get()));
        QCOMPARE(reinterpret_cast<WId>(owner), m_window->winId());
    }

    void waitKeepsTimersRunning()
    {
        bool fired = false;
        QTimer::singleShot(1, [&fired] { fired = true; });
        m_ui->waitMs(50);
        QVERIFY(fired);
    }

private:
    std::unique_ptr<test::FakeDialupService> m_fake;
    bool m_gateway = false;
    std::unique_ptr<QWidget> m_window;
    QListWidget* m_list = nullptr;
    std::unique_ptr<QtManagerUi> m_ui;
    std::unique_ptr<ViewModel> m_view;
    std::unique_ptr<ConnectionManager> m_manager;
};

QTEST_MAIN(QtManagerUiTest)
#include "QtManagerUi_test.moc"

#include "dialup/ui/QtManagerUi.h"

#include "FakeRasLibrary.h"
#include "dialup/ConnectionManager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <functional>

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
        m_fake = std::make_unique<test::FakeRas>();
        m_fake->entries = {{"T-Online", "anonymer", "0191011", "", false},
                           {"Handy", "ich", "*99#", "geheim", true}};
        m_loader = std::make_unique<test::FakeRasLoader>(*m_fake);
        m_ras = std::make_unique<RasBinding>(*m_loader);
        m_window = std::make_unique<QWidget>();
        m_window->resize(831, 400);
        m_list = new QListWidget(m_window.get());
        m_ui = std::make_unique<QtManagerUi>(m_list, m_window.get());
        m_view = std::make_unique<ViewModel>();
        m_manager = std::make_unique<ConnectionManager>(*m_ras, *m_view, *m_ui);
        m_manager->initialiseControls();
    }
    void cleanup()
    {
        m_manager.reset();
        m_ui.reset();
        m_window.reset();
        m_ras.reset();
        m_loader.reset();
    }

    void openingSelectsTheConnectedEntryAndWidensTheWindow()
    {
        QCOMPARE(m_window->width(), 450);
        m_fake->connections = {{4, "Handy", "ttyUSB0"}};
        m_manager->RefreshConnectionStatus();
        m_manager->btnDetailsClick();
        QCOMPARE(m_list->count(), 2);
        QCOMPARE(m_list->currentRow(), 1);
        QCOMPARE(m_view->text("eUser"), std::string("anonymer")); // the first entry's values
        QCOMPARE(m_window->width(), 830);
        m_manager->btnDetailsClick();
        QCOMPARE(m_window->width(), 450);
        QCOMPARE(m_list->currentRow(), 1);
    }

    void failuresAppearAsPlainMessageBoxes()
    {
        m_fake->results["RasEnumEntriesA"] = 600;
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
        QVERIFY(m_fake->deleted.empty());

        SeenBox again;
        answerNextBox(again, QStringLiteral("&Ja"));
        m_manager->btnDeleteEntryClick();
        QCOMPARE(m_fake->deleted, std::vector<std::string>{"T-Online"});
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
        QCOMPARE(m_fake->renamed.size(), std::size_t(2));
        QCOMPARE(m_fake->renamed[0].second, std::string("Büro"));
        QCOMPARE(m_fake->renamed[1].second, std::string("T-Online"));
    }

    void dialShowsTheHourglassOnlyWhileDialling()
    {
        m_manager->RefreshEntryList();
        m_fake->results["RasDialA"] = 678;
        Qt::CursorShape during = Qt::ArrowCursor;
        QTimer::singleShot(0, [&during] {
            if (QApplication::overrideCursor() != nullptr) {
                during = QApplication::overrideCursor()->shape();
            }
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->accept();
            }
        });
        m_manager->btnDialEntryClick();
        QCOMPARE(during, Qt::WaitCursor);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void waitKeepsTimersRunning()
    {
        bool fired = false;
        QTimer::singleShot(1, [&fired] { fired = true; });
        m_ui->waitMs(50);
        QVERIFY(fired);
    }

private:
    std::unique_ptr<test::FakeRas> m_fake;
    std::unique_ptr<test::FakeRasLoader> m_loader;
    std::unique_ptr<RasBinding> m_ras;
    std::unique_ptr<QWidget> m_window;
    QListWidget* m_list = nullptr;
    std::unique_ptr<QtManagerUi> m_ui;
    std::unique_ptr<ViewModel> m_view;
    std::unique_ptr<ConnectionManager> m_manager;
};

QTEST_MAIN(QtManagerUiTest)
#include "QtManagerUi_test.moc"

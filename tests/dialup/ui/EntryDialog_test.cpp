#include "dialup/ui/EntryDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using namespace tavlor;

class EntryDialogTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void overlongTextIsRefusedAndTheDialogStaysOpen()
    {
        DialEntryFields fields{"Handy", "gsm", "*99#", "internet", std::string(257, 'u'), "pw"};
        EntryDialog dialog(fields, true);
        QString seen;
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            seen = box->text();
            box->accept();
        });
        dialog.accept();
        QCOMPARE(seen, QStringLiteral("Der Benutzername ist zu lang (höchstens 256 Zeichen)."));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        // Nothing was cut on the way.
        QCOMPARE(dialog.fields().user.size(), std::size_t(257));

        dialog.findChild<QLineEdit*>(QStringLiteral("eEntryUser"))->setText(QString(256, QLatin1Char('u')));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void theKindDecidesWhichFieldsApply()
    {
        EntryDialog dialog({"DSL", "pppoe", "", "", "kunde", ""}, true);
        auto* number = dialog.findChild<QLineEdit*>(QStringLiteral("eEntryNumber"));
        auto* apn = dialog.findChild<QLineEdit*>(QStringLiteral("eEntryApn"));
        QVERIFY(!number->isEnabled());
        QVERIFY(!apn->isEnabled());
        auto* kind = dialog.findChild<QComboBox*>(QStringLiteral("cbEntryKind"));
        kind->setCurrentIndex(kind->findData(QStringLiteral("gsm")));
        QVERIFY(number->isEnabled());
        QVERIFY(apn->isEnabled());
        number->setText(QStringLiteral("+49 *99#"));
        QCOMPARE(dialog.fields().kind, std::string("gsm"));
        QCOMPARE(dialog.fields().number, std::string("+49 *99#"));
    }

    void editingKeepsNameAndKindAndMasksThePassword()
    {
        EntryDialog dialog({"BT", "bluetooth", "*99#", "", "", "geheim"}, false);
        QVERIFY(!dialog.findChild<QLineEdit*>(QStringLiteral("eEntryName"))->isEnabled());
        auto* kind = dialog.findChild<QComboBox*>(QStringLiteral("cbEntryKind"));
        QVERIFY(!kind->isEnabled());
        QCOMPARE(kind->currentData().toString(), QStringLiteral("bluetooth"));
        auto* password = dialog.findChild<QLineEdit*>(QStringLiteral("eEntryPass"));
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(dialog.fields().password, std::string("geheim"));
    }

    void theEditorIsRegisteredWhileItLives()
    {
        {
            QtEntryEditor editor;
            QCOMPARE(entryEditor(), static_cast<EntryEditor*>(&editor));
        }
        QCOMPARE(entryEditor(), nullptr);
    }
};

QTEST_MAIN(EntryDialogTest)
#include "EntryDialog_test.moc"

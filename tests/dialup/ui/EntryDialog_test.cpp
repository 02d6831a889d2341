#include "dialup/ui/EntryDialog.h"
#include "text/WidgetNames.h"

#include "dialup/EntryEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using namespace tavlor;

namespace {
DialupEntryFields fieldsOf(const char* name, const char* kind, const char* number, const char* apn,
                           const char* user)
{
    return DialupEntryFields{name, kind, number, apn, user, std::nullopt};
}

ManagerUi::FieldsProblem checkAgainst(std::vector<std::string> taken)
{
    return [taken](const DialupEntryFields& f) { return entryFieldsProblem(f, taken); };
}
} // namespace

class EntryDialogTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void whatTheServiceWouldRefuseKeepsTheDialogOpenWithTheReason()
    {
        EntryDialog dialog(fieldsOf("Handy", "gsm", "*99#", "web vodafone", "u"), true, false,
                           checkAgainst({}));
        QString seen;
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            seen = box->text();
            box->accept();
        });
        dialog.accept();
        QCOMPARE(seen,
                 QStringLiteral(
                     "Der APN darf nur Buchstaben, Ziffern, Punkt, Bindestrich und Unterstrich enthalten."));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        dialog.findChild<QLineEdit*>(QLatin1String(names::eEntryApn))
            ->setText(QStringLiteral("web.vodafone.de"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        // Nothing typed: no password at all, so none is sent.
        QVERIFY(!dialog.fields().password.has_value());
    }

    void theKindDecidesWhichFieldsApply()
    {
        EntryDialog dialog(fieldsOf("DSL", "pppoe", "", "", "kunde"), true, false, checkAgainst({}));
        auto* number = dialog.findChild<QLineEdit*>(QLatin1String(names::eEntryNumber));
        auto* apn = dialog.findChild<QLineEdit*>(QLatin1String(names::eEntryApn));
        QVERIFY(!number->isEnabled());
        QVERIFY(!apn->isEnabled());
        auto* kind = dialog.findChild<QComboBox*>(QLatin1String(names::cbEntryKind));
        kind->setCurrentIndex(kind->findData(QStringLiteral("gsm")));
        QVERIFY(number->isEnabled());
        QVERIFY(apn->isEnabled());
        number->setText(QStringLiteral("+49 *99#"));
        QCOMPARE(dialog.fields().kind, std::string("gsm"));
        QCOMPARE(dialog.fields().number, std::string("+49 *99#"));
    }

    void editingKeepsNameAndKindAndAStoredPasswordUnlessANewOneIsTyped()
    {
        EntryDialog dialog(fieldsOf("BT", "bluetooth", "*99#", "", ""), false, true, checkAgainst({}));
        QVERIFY(!dialog.findChild<QLineEdit*>(QLatin1String(names::eEntryName))->isEnabled());
        auto* kind = dialog.findChild<QComboBox*>(QLatin1String(names::cbEntryKind));
        QVERIFY(!kind->isEnabled());
        QCOMPARE(kind->currentData().toString(), QStringLiteral("bluetooth"));
        auto* password = dialog.findChild<QLineEdit*>(QLatin1String(names::eEntryPass));
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(password->placeholderText(), QStringLiteral("(unverändert)"));
        QVERIFY(!dialog.fields().password.has_value());
        password->setText(QStringLiteral("neu"));
        QCOMPARE(std::string(dialog.fields().password->view()), std::string("neu"));
    }
};

QTEST_MAIN(EntryDialogTest)
#include "EntryDialog_test.moc"

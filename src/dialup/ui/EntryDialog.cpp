#include "dialup/ui/EntryDialog.h"
#include "text/WidgetNames.h"

#include "dialup/EntryEditor.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavlor {

namespace {
struct Kind
{
    const char* id;
    const char* label;
};
constexpr Kind kKinds[] = {{"gsm", "Mobilfunk (GSM/UMTS/LTE)"},
                           {"cdma", "Mobilfunk (CDMA)"},
                           {"pppoe", "DSL (PPPoE)"},
                           {"bluetooth", "Bluetooth (DFÜ)"}};

QLineEdit* field(QWidget* parent, const char* name, const std::string& text)
{
    auto* edit = new QLineEdit(QString::fromStdString(text), parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

std::string textOf(const QLineEdit* edit)
{
    return edit->text().toStdString();
}
} // namespace

EntryDialog::EntryDialog(const DialupEntryFields& fields, bool isNew, bool passwordStored,
                         ManagerUi::FieldsProblem problem, QWidget* parent)
    : QDialog(parent), m_name(field(this, names::eEntryName, fields.name)), m_kind(new QComboBox(this)),
      m_number(field(this, names::eEntryNumber, fields.number)),
      m_apn(field(this, names::eEntryApn, fields.apn)), m_user(field(this, names::eEntryUser, fields.user)),
      m_password(field(this, names::eEntryPass, {})), m_problem(std::move(problem))
{
    setObjectName(QStringLiteral("EntryDialog"));
    setWindowTitle(isNew ? QStringLiteral("Neuer Eintrag") : QStringLiteral("Eintrag ändern"));
    m_kind->setObjectName(QLatin1String(names::cbEntryKind));
    for (const Kind& kind : kKinds) {
        // A Bluetooth entry needs its device's address, which only the system's tools know.
        if (isNew && std::string(kind.id) == "bluetooth") {
            continue;
        }
        m_kind->addItem(QString::fromUtf8(kind.label), QLatin1String(kind.id));
    }
    m_kind->setCurrentIndex(std::max(0, m_kind->findData(QString::fromStdString(fields.kind))));
    m_name->setEnabled(isNew);
    m_kind->setEnabled(isNew);
    m_password->setEchoMode(QLineEdit::Password);
    if (!isNew && passwordStored) {
        m_password->setPlaceholderText(QStringLiteral("(unverändert)"));
    }

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name"), m_name);
    form->addRow(QStringLiteral("Art"), m_kind);
    form->addRow(QStringLiteral("Nummer"), m_number);
    form->addRow(QStringLiteral("APN"), m_apn);
    form->addRow(QStringLiteral("Benutzername"), m_user);
    form->addRow(QStringLiteral("Passwort"), m_password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &EntryDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &EntryDialog::reject);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &EntryDialog::kindChanged);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    kindChanged();
}

DialupEntryFields EntryDialog::fields() const
{
    DialupEntryFields f;
    f.name = textOf(m_name);
    f.kind = m_kind->currentData().toString().toStdString();
    f.number = kindHasNumber(f.kind) ? textOf(m_number) : std::string();
    f.apn = kindHasApn(f.kind) ? textOf(m_apn) : std::string();
    f.user = textOf(m_user);
    if (!m_password->text().isEmpty()) {
        f.password.emplace(m_password->text().toStdString());
    }
    return f;
}

void EntryDialog::accept()
{
    const std::string problem = m_problem ? m_problem(fields()) : std::string();
    if (!problem.empty()) {
        QMessageBox box(QMessageBox::NoIcon, windowTitle(), QString::fromStdString(problem), QMessageBox::Ok,
                        this);
        box.exec();
        return;
    }
    QDialog::accept();
}

void EntryDialog::kindChanged()
{
    const std::string kind = m_kind->currentData().toString().toStdString();
    m_number->setEnabled(kindHasNumber(kind));
    m_apn->setEnabled(kindHasApn(kind));
}

} // namespace tavlor

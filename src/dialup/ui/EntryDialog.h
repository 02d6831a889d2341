#pragma once

#include "dialup/ManagerUi.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace tavlor {

// Our own dialog for a dial-up entry: name, kind, number, APN (where the kind has one), user
// name and password. OK is taken only when the check finds nothing the connection service would
// refuse. Editing, the password field starts empty: left empty, the stored password stays.
class EntryDialog final : public QDialog
{
    Q_OBJECT

public:
    EntryDialog(const DialupEntryFields& fields, bool isNew, bool passwordStored,
                ManagerUi::FieldsProblem problem, QWidget* parent = nullptr);
    EntryDialog(const EntryDialog&) = delete;
    EntryDialog& operator=(const EntryDialog&) = delete;

    DialupEntryFields fields() const;

public Q_SLOTS:
    void accept() override;

private:
    void kindChanged();

    QLineEdit* m_name;
    QComboBox* m_kind;
    QLineEdit* m_number;
    QLineEdit* m_apn;
    QLineEdit* m_user;
    QLineEdit* m_password;
    ManagerUi::FieldsProblem m_problem;
};

} // namespace tavlor

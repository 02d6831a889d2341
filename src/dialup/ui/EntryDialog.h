#pragma once

#include "dialup/EntryEditor.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace tavlor {

// Our own dialog for a dial-up entry: name, kind, number, APN (where the kind has one), user
// name and password. Texts wider than the record fields are refused on OK, never cut.
class EntryDialog final : public QDialog
{
    Q_OBJECT

public:
    EntryDialog(const DialEntryFields& fields, bool isNew, QWidget* parent = nullptr);
    EntryDialog(const EntryDialog&) = delete;
    EntryDialog& operator=(const EntryDialog&) = delete;

    DialEntryFields fields() const;

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
};

// The editor the dial-up provider calls; registered while it lives.
class QtEntryEditor final : public EntryEditor
{
public:
    QtEntryEditor();
    ~QtEntryEditor() override;
    QtEntryEditor(const QtEntryEditor&) = delete;
    QtEntryEditor& operator=(const QtEntryEditor&) = delete;

    bool edit(void* owner, DialEntryFields& fields, bool isNew) override;
};

} // namespace tavlor

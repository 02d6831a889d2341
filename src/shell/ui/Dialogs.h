#pragma once

#include <exception>
#include <functional>

class QString;
class QWidget;

namespace tavlor {

// The program's one question form: modal, question icon, caption "Bestätigung", buttons "&Ja"
// and "&Nein". Only "Ja" confirms; closing the box any other way counts as "Nein".
bool AskConfirmation(QWidget* parent, const QString& text);

// A plain message box with an OK button and no icon.
void ShowPlainMessage(QWidget* parent, const QString& text);

// The general error report: a message box with the error's text. The program goes on.
void ShowErrorReport(QWidget* parent, const QString& text);

// Runs a handler inside the general error report; returns false when it ended by an error.
bool RunReported(QWidget* parent, const std::function<void()>& handler);

} // namespace tavlor

#pragma once
// Pieces shared by the log-in and account dialogs: their fields, buttons and the guard that
// turns a failure of the users file into an error box.

#include "platform/Dialogs.h"

#include <QString>
#include <exception>
#include <utility>

class QDialog;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vexamo::accounts {

inline constexpr int kFieldLength = 16;

// A text field that accepts at most 16 characters; a password field echoes "*".
QLineEdit* MakeField(QWidget* parent, const char* objectName, bool password);
QPushButton* MakeButton(QWidget* parent, const QString& caption, const char* objectName);

// Fixed size, no help button.
void FinishDialog(QDialog* dialog, const QString& caption, const char* objectName);

// The dialogs move through their fields with Enter themselves; the key must not also reach
// QDialog, which would press its default button. A focused button still takes Enter.
bool IsEnter(const QKeyEvent* event);

// Names and passwords are stored in Windows-1252; text with other characters would be
// stored altered, so the dialogs refuse it with these messages.
bool Storable(const QString& text);
inline constexpr const char* kNameNotStorable =
    "\nEl nombre lleva caracteres que no se pueden guardar.\nUsa solo letras, cifras y signos "
    "corrientes";
inline constexpr const char* kPasswordNotStorable =
    "\nLa contraseña lleva caracteres que no se pueden guardar.\nUsa solo letras, cifras y signos "
    "corrientes";

// Empties a field and gives it the focus.
void ClearAndFocus(QLineEdit* field);

// Runs an action on the users file. An exception (file missing or damaged) is shown in an
// error box with its text; the result tells whether the action ran to its end.
template <class Action>
bool Guarded(Dialogs& dialogs, QWidget* parent, Action&& action) {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const std::exception& e) {
        dialogs.Error(parent, QString::fromUtf8(e.what()));
        return false;
    }
}

} // namespace vexamo::accounts

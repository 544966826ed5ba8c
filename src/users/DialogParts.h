#pragma once
// Pieces shared by the log-in and account dialogs: their fields, buttons and the guard that
// turns a failure of the users file into an error box.

#include "platform/Dialogs.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <exception>
#include <initializer_list>
#include <utility>

class QKeyEvent;
class QShowEvent;
class QWidget;

namespace vexamo {
class TArchivoVexamousers;
}

namespace vexamo::accounts {

inline constexpr int kFieldLength = 16;

// A text field that accepts at most 16 characters; a password field echoes "*".
QLineEdit* MakeField(QWidget* parent, const char* objectName, bool password);
QPushButton* MakeButton(QWidget* parent, const QString& caption, const char* objectName);

// Fixed size, no help button.
void FinishDialog(QDialog* dialog, const QString& caption, const char* objectName);

// Base of the account dialogs: the users file, the message boxes and the Ok and Cancel
// buttons they all work with. FormShow runs each time the dialog is shown by the program.
// The dialogs move through their fields with Enter themselves; the key must not also reach
// QDialog, which would press its default button. A focused button still takes Enter.
class AccountDialog : public QDialog {
    Q_OBJECT
public:
    AccountDialog(TArchivoVexamousers& users, Dialogs& dialogs, QWidget* parent);
    virtual void FormShow() = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // Creates botonCancelar_ and then botonOk_, after the fields so that Tab reaches them last.
    void MakeOkAndCancel();

    TArchivoVexamousers& users_;
    Dialogs& dialogs_;
    QPushButton* botonOk_ = nullptr;
    QPushButton* botonCancelar_ = nullptr; // none in the log-in dialog
};

// One row of a dialog's fields: the label's caption and objectName, and the field it names.
struct FieldRow {
    const char* caption; // UTF-8
    const char* labelName;
    QLineEdit* field;
};

// Lays the dialog out: the fields one under another, each with its label on the left, above
// a row with `cancel` and `ok` on the right.
void LayOutFields(QDialog* dialog, std::initializer_list<FieldRow> rows, QPushButton* cancel,
                  QPushButton* ok);

// Enter in each field but the last moves the focus to the next one; Enter in the last and
// `ok` run the form's BotonOkClick, `cancel` rejects the dialog.
template <class Form>
void ConnectFields(Form* form, std::initializer_list<QLineEdit*> fields, QPushButton* ok,
                   QPushButton* cancel) {
    QLineEdit* previous = nullptr;
    for (QLineEdit* field : fields) {
        if (previous) {
            QObject::connect(previous, &QLineEdit::returnPressed, form,
                             [field] { field->setFocus(Qt::OtherFocusReason); });
        }
        previous = field;
    }
    if (previous) QObject::connect(previous, &QLineEdit::returnPressed, form, &Form::BotonOkClick);
    QObject::connect(ok, &QPushButton::clicked, form, &Form::BotonOkClick);
    QObject::connect(cancel, &QPushButton::clicked, form, &QDialog::reject);
}

// A password typed twice: both fields equal and not empty.
bool SamePasswords(const QLineEdit* first, const QLineEdit* second);
// Refuses a password typed twice: shows `message`, empties both fields and puts the focus in
// the first.
void RefusePasswords(Dialogs& dialogs, QWidget* parent, const QString& message, QLineEdit* first,
                     QLineEdit* second);
// Checks a password typed twice: refused as above with `mismatch` when the two differ or are
// empty, with kPasswordNotStorable when it cannot be stored. True when it is accepted.
bool CheckRepeatedPassword(Dialogs& dialogs, QWidget* parent, const QString& mismatch,
                           QLineEdit* first, QLineEdit* second);

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

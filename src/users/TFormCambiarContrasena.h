#pragma once
// Change of one's own password: the administrator's or a named user's.
//
// Use:   form.Prepare(role, userName);
//        if (dialogs.Exec(&form) == QDialog::Accepted) form.ApplyChange();
// ApplyChange stores NewPassword() and reports the outcome in a message box.

#include "users/DialogParts.h"

#include <string>

namespace vexamo {

class TFormCambiarContrasena : public accounts::AccountDialog {
    Q_OBJECT
public:
    TFormCambiarContrasena(TArchivoVexamousers& users, Dialogs& dialogs,
                           QWidget* parent = nullptr);

    // Takes the password to check against: the administrator's for role -1, the named
    // user's otherwise. The guest (-2) never reaches the dialog. Returns false (after an
    // error box) when the users file could not be read.
    bool Prepare(int role, const QString& userName);

    // The confirmed new password; the fields themselves are emptied when the dialog closes.
    QString NewPassword() const { return newPassword_; }

    // After acceptance: SetAdminPassword or SetUserPassword with NewPassword(), then
    // "\nSe ha cambiado la contraseña" or the error box. Returns whether it was changed.
    bool ApplyChange();

    // Handlers, public so that the owner and tests can drive the dialog directly.
    void FormShow() override;
    void EditContrasenaActualEnter();
    void BotonOkClick();

    void done(int result) override;

private:
    void ClearFields();
    bool IsCurrentPassword(const QString& typed) const;
    // Refuses a wrong current password with an error box; true when it is right.
    bool CheckCurrentPassword();

    QLineEdit* editContrasenaActual_ = nullptr;
    QLineEdit* editContrasena1_ = nullptr;
    QLineEdit* editContrasena2_ = nullptr;
    int role_ = -1;
    QString userName_;
    std::string currentPassword_; // Windows-1252, as stored
    QString newPassword_;
};

} // namespace vexamo

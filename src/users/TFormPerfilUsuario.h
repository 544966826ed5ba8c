#pragma once
// A user's profile as the administrator edits it from the user management window: the name
// and the password, shown in clear. The caller applies only the password.

#include "users/DialogParts.h"

namespace vexamo {

class TFormPerfilUsuario : public accounts::AccountDialog {
    Q_OBJECT
public:
    TFormPerfilUsuario(TArchivoVexamousers& users, Dialogs& dialogs, QWidget* parent = nullptr);

    // Fills both fields before showing.
    void SetFields(const QString& name, const QString& password);
    // Fills both fields from the users file: the name and its GetUserPassword.
    // Returns false (after an error box) when the file could not be read.
    bool Prepare(const QString& name);

    // After the dialog was accepted.
    QString UserName() const;
    QString Password() const;

    // Handlers, public so that the owner and tests can drive the dialog directly.
    void FormShow() override;
    void BotonOkClick();

private:
    QLineEdit* editNombre_ = nullptr;
    QLineEdit* editContrasena_ = nullptr;
};

} // namespace vexamo

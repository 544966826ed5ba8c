#pragma once
// New-user dialog, opened from the log-in: a name and its password typed twice.
// It only checks the input; the log-in dialog adds the user.

#include "users/DialogParts.h"

namespace vexamo {

class TFormNuevoUsuario : public accounts::AccountDialog {
    Q_OBJECT
public:
    TFormNuevoUsuario(TArchivoVexamousers& users, Dialogs& dialogs, QWidget* parent = nullptr);

    // After the dialog was accepted: the name exactly as typed and the first password.
    QString UserName() const;
    QString Password() const;

    // Handlers, public so that the owner and tests can drive the dialog directly.
    void FormShow() override;
    void BotonOkClick();

private:
    QLineEdit* editNombreUsuario_ = nullptr;
    QLineEdit* editContrasena1_ = nullptr;
    QLineEdit* editContrasena2_ = nullptr;
};

} // namespace vexamo

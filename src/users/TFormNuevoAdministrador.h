#pragma once
// First-run dialog: asks twice for the administrator's password before the users file exists.

#include "users/DialogParts.h"

namespace vexamo {

class TFormNuevoAdministrador : public accounts::AccountDialog {
    Q_OBJECT
public:
    TFormNuevoAdministrador(TArchivoVexamousers& users, Dialogs& dialogs,
                            QWidget* parent = nullptr);

    // The confirmed password, for CreateUsersFile (read after the dialog was accepted).
    QString Password() const;

    // Handlers, public so that the owner and tests can drive the dialog directly.
    void FormShow() override;
    void BotonOkClick();

private:
    QLineEdit* editContrasena1_ = nullptr;
    QLineEdit* editContrasena2_ = nullptr;
};

} // namespace vexamo

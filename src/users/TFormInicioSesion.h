#pragma once
// Log-in dialog: a named user with a password, the administrator, or a guest. It can also
// create a new user (through TFormNuevoUsuario) and log that user in at once.

#include "users/DialogParts.h"

#include <QStringList>

class QLabel;
class QListWidget;
class QRadioButton;

namespace vexamo {

class TFormNuevoUsuario;

class TFormInicioSesion : public accounts::AccountDialog {
    Q_OBJECT
public:
    TFormInicioSesion(TArchivoVexamousers& users, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TFormInicioSesion() override;

    // After the dialog was accepted: -2 guest, -1 administrator, otherwise the position of
    // the chosen name in the list (the users sorted case-insensitively, as ListUsers gives
    // them). UserName() is that name, empty for the guest and the administrator.
    int Role() const { return role_; }
    QString UserName() const { return userName_; }

    // Handlers, public so that the owner and tests can drive the dialog directly.
    void FormShow() override;
    void CheckerUsuarioClick();
    void CheckerAdministradorClick();
    void CheckerInvitadoClick();
    void ListaUsuariosClick();
    void BotonNuevoUsuarioClick();
    void BotonOkClick();

    TFormNuevoUsuario& FormNuevoUsuario() { return *formNuevoUsuario_; }

private:
    void FillList();
    void ShowPasswordControls(bool visible);
    void WrongPassword();

    QRadioButton* checkerUsuario_ = nullptr;
    QRadioButton* checkerInvitado_ = nullptr;
    QRadioButton* checkerAdministrador_ = nullptr;
    QListWidget* listaUsuarios_ = nullptr;
    QPushButton* botonNuevoUsuario_ = nullptr;
    QLabel* labelContrasena_ = nullptr;
    QLineEdit* editContrasena_ = nullptr;
    TFormNuevoUsuario* formNuevoUsuario_ = nullptr; // child window, reused
    int role_ = -2;
    QString userName_;
};

} // namespace vexamo

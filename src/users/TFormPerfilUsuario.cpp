#include "users/TFormPerfilUsuario.h"

#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "users/DialogParts.h"
#include "users/UsersFile.h"

#include <QLineEdit>
#include <QPushButton>

namespace vexamo {

using namespace accounts;

TFormPerfilUsuario::TFormPerfilUsuario(TArchivoVexamousers& users, Dialogs& dialogs,
                                       QWidget* parent)
    : AccountDialog(users, dialogs, parent) {
    editNombre_ = MakeField(this, "EditNombre", false);
    editContrasena_ = MakeField(this, "EditContrasena", false);
    MakeOkAndCancel();

    LayOutFields(this,
                 {{"Nombre:", "LabelNombre", editNombre_},
                  {"Contraseña:", "LabelContrasena", editContrasena_}},
                 botonCancelar_, botonOk_);
    FinishDialog(this, QStringLiteral("Perfil de usuario"), "FormPerfilUsuario");

    ConnectFields(this, {editNombre_, editContrasena_}, botonOk_, botonCancelar_);
}

void TFormPerfilUsuario::SetFields(const QString& name, const QString& password) {
    editNombre_->setText(name);
    editContrasena_->setText(password);
}

bool TFormPerfilUsuario::Prepare(const QString& name) {
    std::string password;
    const bool read = Guarded(dialogs_, parentWidget(),
                              [&] { password = users_.GetUserPassword(ToCp1252(name)); });
    SetFields(name, ToQString(password));
    return read;
}

QString TFormPerfilUsuario::UserName() const { return editNombre_->text(); }
QString TFormPerfilUsuario::Password() const { return editContrasena_->text(); }

void TFormPerfilUsuario::FormShow() { editNombre_->setFocus(Qt::OtherFocusReason); }

void TFormPerfilUsuario::BotonOkClick() {
    if (editNombre_->text().isEmpty()) {
        dialogs_.Error(this, QStringLiteral("\nIntroduce un nombre de usuario"));
        editNombre_->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (editContrasena_->text().isEmpty()) {
        dialogs_.Error(this, QStringLiteral("\nIntroduce una contraseña válida"));
        editContrasena_->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!Storable(editContrasena_->text())) {
        dialogs_.Error(this, QString::fromUtf8(kPasswordNotStorable));
        editContrasena_->setFocus(Qt::OtherFocusReason);
        editContrasena_->selectAll();
        return;
    }
    accept();
}

} // namespace vexamo

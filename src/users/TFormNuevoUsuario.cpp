#include "users/TFormNuevoUsuario.h"

#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "users/DialogParts.h"
#include "users/UsersFile.h"

#include <QLineEdit>
#include <QPushButton>

namespace vexamo {

using namespace accounts;

TFormNuevoUsuario::TFormNuevoUsuario(TArchivoVexamousers& users, Dialogs& dialogs,
                                     QWidget* parent)
    : AccountDialog(users, dialogs, parent) {
    editNombreUsuario_ = MakeField(this, "EditNombreUsuario", false);
    editContrasena1_ = MakeField(this, "EditContrasena1", true);
    editContrasena2_ = MakeField(this, "EditContrasena2", true);
    MakeOkAndCancel();

    LayOutFields(this,
                 {{"Nombre:", "LabelNombreUsuario", editNombreUsuario_},
                  {"Contraseña:", "LabelContrasena1", editContrasena1_},
                  {"Repite la contraseña:", "LabelContrasena2", editContrasena2_}},
                 botonCancelar_, botonOk_);
    FinishDialog(this, QStringLiteral("Nuevo usuario"), "FormNuevoUsuario");

    ConnectFields(this, {editNombreUsuario_, editContrasena1_, editContrasena2_}, botonOk_,
                  botonCancelar_);
}

QString TFormNuevoUsuario::UserName() const { return editNombreUsuario_->text(); }
QString TFormNuevoUsuario::Password() const { return editContrasena1_->text(); }

void TFormNuevoUsuario::FormShow() {
    editContrasena1_->clear();
    editContrasena2_->clear();
    ClearAndFocus(editNombreUsuario_);
}

void TFormNuevoUsuario::BotonOkClick() {
    const QString name = editNombreUsuario_->text();
    if (name.isEmpty()) {
        dialogs_.Error(this, QStringLiteral("\nIntroduce un nombre de usuario"));
        editNombreUsuario_->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!SamePasswords(editContrasena1_, editContrasena2_)) {
        RefusePasswords(dialogs_, this,
                        QStringLiteral("Error en la contraseña\nPor favor, introdúcela de nuevo"),
                        editContrasena1_, editContrasena2_);
        return;
    }
    int existing = -1;
    if (!Guarded(dialogs_, this, [&] { existing = users_.UserExists(ToCp1252(name)); })) return;
    if (existing != -1) {
        dialogs_.Error(
            this, QStringLiteral(
                      "Ya existe un usuario con ese nombre\nIntroduce otro nombre distinto..."));
        editNombreUsuario_->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!Storable(name)) {
        dialogs_.Error(this, QString::fromUtf8(kNameNotStorable));
        editNombreUsuario_->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!Storable(editContrasena1_->text())) {
        RefusePasswords(dialogs_, this, QString::fromUtf8(kPasswordNotStorable), editContrasena1_,
                        editContrasena2_);
        return;
    }
    accept();
}

} // namespace vexamo

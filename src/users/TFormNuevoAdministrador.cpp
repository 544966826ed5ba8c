#include "users/TFormNuevoAdministrador.h"

#include "platform/Dialogs.h"
#include "users/DialogParts.h"

#include <QLineEdit>
#include <QPushButton>

namespace vexamo {

using namespace accounts;

TFormNuevoAdministrador::TFormNuevoAdministrador(TArchivoVexamousers& users, Dialogs& dialogs,
                                                 QWidget* parent)
    : AccountDialog(users, dialogs, parent) {
    editContrasena1_ = MakeField(this, "EditContrasena1", true);
    editContrasena2_ = MakeField(this, "EditContrasena2", true);
    MakeOkAndCancel();

    LayOutFields(this,
                 {{"Contraseña del Administrador:", "LabelContrasena1", editContrasena1_},
                  {"Repite la contraseña:", "LabelContrasena2", editContrasena2_}},
                 botonCancelar_, botonOk_);
    FinishDialog(this, QStringLiteral("Administrador de Vexamo"), "FormNuevoAdministrador");

    ConnectFields(this, {editContrasena1_, editContrasena2_}, botonOk_, botonCancelar_);
}

QString TFormNuevoAdministrador::Password() const { return editContrasena1_->text(); }

void TFormNuevoAdministrador::FormShow() {
    editContrasena2_->clear();
    ClearAndFocus(editContrasena1_);
}

void TFormNuevoAdministrador::BotonOkClick() {
    const QString mismatch =
        QStringLiteral("Error en la contraseña\nPor favor, introdúcela de nuevo");
    if (CheckRepeatedPassword(dialogs_, this, mismatch, editContrasena1_, editContrasena2_))
        accept();
}

} // namespace vexamo

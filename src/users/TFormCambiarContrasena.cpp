#include "users/TFormCambiarContrasena.h"

#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "users/DialogParts.h"
#include "users/UsersFile.h"

#include <QLineEdit>
#include <QPushButton>

namespace vexamo {

using namespace accounts;

namespace {
constexpr int kGuest = -2;
constexpr int kAdministrator = -1;
const char* const kWrongCurrent = "La contraseña es incorrecta\nPrueba a introducirla de nuevo...";
} // namespace

TFormCambiarContrasena::TFormCambiarContrasena(TArchivoVexamousers& users, Dialogs& dialogs,
                                               QWidget* parent)
    : AccountDialog(users, dialogs, parent) {
    editContrasenaActual_ = MakeField(this, "EditContrasenaActual", true);
    editContrasena1_ = MakeField(this, "EditContrasena1", true);
    editContrasena2_ = MakeField(this, "EditContrasena2", true);
    MakeOkAndCancel();

    LayOutFields(this,
                 {{"Contraseña actual:", "LabelContrasenaActual", editContrasenaActual_},
                  {"Nueva contraseña:", "LabelContrasena1", editContrasena1_},
                  {"Repite la nueva contraseña:", "LabelContrasena2", editContrasena2_}},
                 botonCancelar_, botonOk_);
    FinishDialog(this, QStringLiteral("Cambiar contraseña"), "FormCambiarContrasena");

    // Enter in the current password checks it before moving on.
    connect(editContrasenaActual_, &QLineEdit::returnPressed, this,
            &TFormCambiarContrasena::EditContrasenaActualEnter);
    ConnectFields(this, {editContrasena1_, editContrasena2_}, botonOk_, botonCancelar_);
}

bool TFormCambiarContrasena::Prepare(int role, const QString& userName) {
    role_ = role;
    userName_ = role >= 0 ? userName : QString();
    currentPassword_.clear();
    newPassword_.clear();
    if (role == kGuest) return false;
    return Guarded(dialogs_, parentWidget(), [&] {
        currentPassword_ = role == kAdministrator ? users_.GetAdminPassword()
                                                  : users_.GetUserPassword(ToCp1252(userName));
    });
}

bool TFormCambiarContrasena::IsCurrentPassword(const QString& typed) const {
    // Compared as stored, byte for byte, like the log-in does.
    return ToCp1252(typed) == currentPassword_;
}

void TFormCambiarContrasena::ClearFields() {
    editContrasenaActual_->clear();
    editContrasena1_->clear();
    editContrasena2_->clear();
}

void TFormCambiarContrasena::FormShow() {
    ClearFields();
    editContrasenaActual_->setFocus(Qt::OtherFocusReason);
}

bool TFormCambiarContrasena::CheckCurrentPassword() {
    if (IsCurrentPassword(editContrasenaActual_->text())) return true;
    dialogs_.Error(this, QString::fromUtf8(kWrongCurrent));
    editContrasenaActual_->setFocus(Qt::OtherFocusReason);
    editContrasenaActual_->selectAll();
    return false;
}

void TFormCambiarContrasena::EditContrasenaActualEnter() {
    if (CheckCurrentPassword()) editContrasena1_->setFocus(Qt::OtherFocusReason);
}

void TFormCambiarContrasena::BotonOkClick() {
    if (!CheckCurrentPassword()) return;
    const QString mismatch =
        QStringLiteral("Error en la nueva contraseña\nPor favor, introdúcela de nuevo");
    if (!CheckRepeatedPassword(dialogs_, this, mismatch, editContrasena1_, editContrasena2_))
        return;
    newPassword_ = editContrasena1_->text();
    accept();
}

void TFormCambiarContrasena::done(int result) {
    if (result != QDialog::Accepted) newPassword_.clear();
    ClearFields();
    QDialog::done(result);
}

bool TFormCambiarContrasena::ApplyChange() {
    QWidget* owner = parentWidget();
    if (role_ == kGuest || newPassword_.isEmpty()) return false;
    bool changed = false;
    try {
        const std::string password = ToCp1252(newPassword_);
        changed = role_ == kAdministrator ? users_.SetAdminPassword(password)
                                          : users_.SetUserPassword(ToCp1252(userName_), password);
    } catch (const std::exception&) {
        changed = false;
    }
    if (changed) {
        currentPassword_ = ToCp1252(newPassword_);
        dialogs_.Information(owner, QStringLiteral("\nSe ha cambiado la contraseña"));
    } else {
        dialogs_.Error(
            owner, QStringLiteral("\nSe ha producido un error al intentar cambiar la contraseña"));
    }
    newPassword_.clear();
    return changed;
}

} // namespace vexamo

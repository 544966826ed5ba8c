#include "users/TFormCambiarContrasena.h"

#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "users/DialogParts.h"
#include "users/UsersFile.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexamo {

using namespace accounts;

namespace {
constexpr int kGuest = -2;
constexpr int kAdministrator = -1;
const char* const kWrongCurrent = "La contraseña es incorrecta\nPrueba a introducirla de nuevo...";
} // namespace

TFormCambiarContrasena::TFormCambiarContrasena(TArchivoVexamousers& users, Dialogs& dialogs,
                                               QWidget* parent)
    : QDialog(parent), users_(users), dialogs_(dialogs) {
    editContrasenaActual_ = MakeField(this, "EditContrasenaActual", true);
    editContrasena1_ = MakeField(this, "EditContrasena1", true);
    editContrasena2_ = MakeField(this, "EditContrasena2", true);
    botonCancelar_ = MakeButton(this, QStringLiteral("Cancelar"), "BotonCancelar");
    botonOk_ = MakeButton(this, QStringLiteral("Ok"), "BotonOk");

    auto* fields = new QGridLayout;
    const struct {
        const char* text;
        const char* name;
        QLineEdit* field;
    } rows[] = {
        {"Contraseña actual:", "LabelContrasenaActual", editContrasenaActual_},
        {"Nueva contraseña:", "LabelContrasena1", editContrasena1_},
        {"Repite la nueva contraseña:", "LabelContrasena2", editContrasena2_},
    };
    int row = 0;
    for (const auto& r : rows) {
        auto* label = new QLabel(QString::fromUtf8(r.text), this);
        label->setObjectName(QString::fromLatin1(r.name));
        label->setBuddy(r.field);
        fields->addWidget(label, row, 0);
        fields->addWidget(r.field, row, 1);
        ++row;
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(botonCancelar_);
    buttons->addWidget(botonOk_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    FinishDialog(this, QStringLiteral("Cambiar contraseña"), "FormCambiarContrasena");

    connect(editContrasenaActual_, &QLineEdit::returnPressed, this,
            &TFormCambiarContrasena::EditContrasenaActualEnter);
    connect(editContrasena1_, &QLineEdit::returnPressed, this,
            [this] { editContrasena2_->setFocus(Qt::OtherFocusReason); });
    connect(editContrasena2_, &QLineEdit::returnPressed, this,
            &TFormCambiarContrasena::BotonOkClick);
    connect(botonOk_, &QPushButton::clicked, this, &TFormCambiarContrasena::BotonOkClick);
    connect(botonCancelar_, &QPushButton::clicked, this, &QDialog::reject);
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

void TFormCambiarContrasena::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFormCambiarContrasena::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
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

void TFormCambiarContrasena::EditContrasenaActualEnter() {
    if (!IsCurrentPassword(editContrasenaActual_->text())) {
        dialogs_.Error(this, QString::fromUtf8(kWrongCurrent));
        editContrasenaActual_->setFocus(Qt::OtherFocusReason);
        editContrasenaActual_->selectAll();
        return;
    }
    editContrasena1_->setFocus(Qt::OtherFocusReason);
}

void TFormCambiarContrasena::BotonOkClick() {
    if (!IsCurrentPassword(editContrasenaActual_->text())) {
        dialogs_.Error(this, QString::fromUtf8(kWrongCurrent));
        editContrasenaActual_->setFocus(Qt::OtherFocusReason);
        editContrasenaActual_->selectAll();
        return;
    }
    const QString first = editContrasena1_->text();
    if (first.isEmpty() || first != editContrasena2_->text()) {
        dialogs_.Error(
            this, QStringLiteral("Error en la nueva contraseña\nPor favor, introdúcela de nuevo"));
        editContrasena2_->clear();
        ClearAndFocus(editContrasena1_);
        return;
    }
    if (!Storable(first)) {
        dialogs_.Error(this, QString::fromUtf8(kPasswordNotStorable));
        editContrasena2_->clear();
        ClearAndFocus(editContrasena1_);
        return;
    }
    newPassword_ = first;
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

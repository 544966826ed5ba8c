#include "users/TFormPerfilUsuario.h"

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

TFormPerfilUsuario::TFormPerfilUsuario(TArchivoVexamousers& users, Dialogs& dialogs,
                                       QWidget* parent)
    : QDialog(parent), users_(users), dialogs_(dialogs) {
    editNombre_ = MakeField(this, "EditNombre", false);
    editContrasena_ = MakeField(this, "EditContrasena", false);
    botonCancelar_ = MakeButton(this, QStringLiteral("Cancelar"), "BotonCancelar");
    botonOk_ = MakeButton(this, QStringLiteral("Ok"), "BotonOk");

    auto* fields = new QGridLayout;
    auto* labelNombre = new QLabel(QStringLiteral("Nombre:"), this);
    labelNombre->setObjectName(QStringLiteral("LabelNombre"));
    labelNombre->setBuddy(editNombre_);
    auto* labelContrasena = new QLabel(QStringLiteral("Contraseña:"), this);
    labelContrasena->setObjectName(QStringLiteral("LabelContrasena"));
    labelContrasena->setBuddy(editContrasena_);
    fields->addWidget(labelNombre, 0, 0);
    fields->addWidget(editNombre_, 0, 1);
    fields->addWidget(labelContrasena, 1, 0);
    fields->addWidget(editContrasena_, 1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(botonCancelar_);
    buttons->addWidget(botonOk_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    FinishDialog(this, QStringLiteral("Perfil de usuario"), "FormPerfilUsuario");

    connect(editNombre_, &QLineEdit::returnPressed, this,
            [this] { editContrasena_->setFocus(Qt::OtherFocusReason); });
    connect(editContrasena_, &QLineEdit::returnPressed, this, &TFormPerfilUsuario::BotonOkClick);
    connect(botonOk_, &QPushButton::clicked, this, &TFormPerfilUsuario::BotonOkClick);
    connect(botonCancelar_, &QPushButton::clicked, this, &QDialog::reject);
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

void TFormPerfilUsuario::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFormPerfilUsuario::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

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

#include "users/TFormNuevoAdministrador.h"

#include "platform/Dialogs.h"
#include "users/DialogParts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexamo {

using namespace accounts;

TFormNuevoAdministrador::TFormNuevoAdministrador(TArchivoVexamousers& users, Dialogs& dialogs,
                                                 QWidget* parent)
    : QDialog(parent), users_(users), dialogs_(dialogs) {
    editContrasena1_ = MakeField(this, "EditContrasena1", true);
    editContrasena2_ = MakeField(this, "EditContrasena2", true);
    botonCancelar_ = MakeButton(this, QStringLiteral("Cancelar"), "BotonCancelar");
    botonOk_ = MakeButton(this, QStringLiteral("Ok"), "BotonOk");

    auto* fields = new QGridLayout;
    auto* label1 = new QLabel(QStringLiteral("Contraseña del Administrador:"), this);
    label1->setObjectName(QStringLiteral("LabelContrasena1"));
    label1->setBuddy(editContrasena1_);
    auto* label2 = new QLabel(QStringLiteral("Repite la contraseña:"), this);
    label2->setObjectName(QStringLiteral("LabelContrasena2"));
    label2->setBuddy(editContrasena2_);
    fields->addWidget(label1, 0, 0);
    fields->addWidget(editContrasena1_, 0, 1);
    fields->addWidget(label2, 1, 0);
    fields->addWidget(editContrasena2_, 1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(botonCancelar_);
    buttons->addWidget(botonOk_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    FinishDialog(this, QStringLiteral("Administrador de Vexamo"), "FormNuevoAdministrador");

    connect(editContrasena1_, &QLineEdit::returnPressed, this,
            [this] { editContrasena2_->setFocus(Qt::OtherFocusReason); });
    connect(editContrasena2_, &QLineEdit::returnPressed, this,
            &TFormNuevoAdministrador::BotonOkClick);
    connect(botonOk_, &QPushButton::clicked, this, &TFormNuevoAdministrador::BotonOkClick);
    connect(botonCancelar_, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFormNuevoAdministrador::Password() const { return editContrasena1_->text(); }

void TFormNuevoAdministrador::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFormNuevoAdministrador::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormNuevoAdministrador::FormShow() {
    editContrasena2_->clear();
    ClearAndFocus(editContrasena1_);
}

void TFormNuevoAdministrador::BotonOkClick() {
    const QString first = editContrasena1_->text();
    if (first.isEmpty() || first != editContrasena2_->text()) {
        dialogs_.Error(this,
                       QStringLiteral("Error en la contraseña\nPor favor, introdúcela de nuevo"));
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
    accept();
}

} // namespace vexamo

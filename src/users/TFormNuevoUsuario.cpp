#include "users/TFormNuevoUsuario.h"

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

TFormNuevoUsuario::TFormNuevoUsuario(TArchivoVexamousers& users, Dialogs& dialogs,
                                     QWidget* parent)
    : QDialog(parent), users_(users), dialogs_(dialogs) {
    editNombreUsuario_ = MakeField(this, "EditNombreUsuario", false);
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
        {"Nombre:", "LabelNombreUsuario", editNombreUsuario_},
        {"Contraseña:", "LabelContrasena1", editContrasena1_},
        {"Repite la contraseña:", "LabelContrasena2", editContrasena2_},
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
    FinishDialog(this, QStringLiteral("Nuevo usuario"), "FormNuevoUsuario");

    connect(editNombreUsuario_, &QLineEdit::returnPressed, this,
            [this] { editContrasena1_->setFocus(Qt::OtherFocusReason); });
    connect(editContrasena1_, &QLineEdit::returnPressed, this,
            [this] { editContrasena2_->setFocus(Qt::OtherFocusReason); });
    connect(editContrasena2_, &QLineEdit::returnPressed, this, &TFormNuevoUsuario::BotonOkClick);
    connect(botonOk_, &QPushButton::clicked, this, &TFormNuevoUsuario::BotonOkClick);
    connect(botonCancelar_, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFormNuevoUsuario::UserName() const { return editNombreUsuario_->text(); }
QString TFormNuevoUsuario::Password() const { return editContrasena1_->text(); }

void TFormNuevoUsuario::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFormNuevoUsuario::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

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
    const QString first = editContrasena1_->text();
    if (first.isEmpty() || first != editContrasena2_->text()) {
        dialogs_.Error(this,
                       QStringLiteral("Error en la contraseña\nPor favor, introdúcela de nuevo"));
        editContrasena2_->clear();
        ClearAndFocus(editContrasena1_);
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
    if (!Storable(first)) {
        dialogs_.Error(this, QString::fromUtf8(kPasswordNotStorable));
        editContrasena2_->clear();
        ClearAndFocus(editContrasena1_);
        return;
    }
    accept();
}

} // namespace vexamo

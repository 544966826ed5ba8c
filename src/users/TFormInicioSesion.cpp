#include "users/TFormInicioSesion.h"

#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "users/DialogParts.h"
#include "users/TFormNuevoUsuario.h"
#include "users/UsersFile.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vexamo {

using namespace accounts;

namespace {
constexpr int kGuest = -2;
constexpr int kAdministrator = -1;

QRadioButton* MakeChoice(QWidget* parent, const QString& caption, const char* objectName) {
    auto* choice = new QRadioButton(caption, parent);
    choice->setObjectName(QString::fromLatin1(objectName));
    return choice;
}
} // namespace

TFormInicioSesion::TFormInicioSesion(TArchivoVexamousers& users, Dialogs& dialogs,
                                     QWidget* parent)
    : AccountDialog(users, dialogs, parent) {
    checkerUsuario_ = MakeChoice(this, QStringLiteral("Usuario"), "CheckerUsuario");
    checkerInvitado_ = MakeChoice(this, QStringLiteral("Invitado"), "CheckerInvitado");
    checkerAdministrador_ =
        MakeChoice(this, QStringLiteral("Administrador"), "CheckerAdministrador");
    auto* group = new QButtonGroup(this);
    group->addButton(checkerUsuario_);
    group->addButton(checkerInvitado_);
    group->addButton(checkerAdministrador_);

    listaUsuarios_ = new QListWidget(this);
    listaUsuarios_->setObjectName(QStringLiteral("ListaUsuarios"));
    listaUsuarios_->setSelectionMode(QAbstractItemView::SingleSelection);

    botonNuevoUsuario_ =
        MakeButton(this, QStringLiteral("Nuevo usuario..."), "BotonNuevoUsuario");
    botonNuevoUsuario_->setToolTip(QStringLiteral("Crear un nuevo usuario"));
    botonNuevoUsuario_->setAutoDefault(false);

    labelContrasena_ = new QLabel(QStringLiteral("Contraseña:"), this);
    labelContrasena_->setObjectName(QStringLiteral("LabelContrasena"));
    editContrasena_ = MakeField(this, "EditContrasena", true);
    labelContrasena_->setBuddy(editContrasena_);
    botonOk_ = MakeButton(this, QStringLiteral("Ok"), "BotonOk");

    auto* choices = new QHBoxLayout;
    choices->addWidget(checkerUsuario_);
    choices->addWidget(checkerInvitado_);
    choices->addWidget(checkerAdministrador_);
    choices->addStretch();

    auto* newUser = new QHBoxLayout;
    newUser->addStretch();
    newUser->addWidget(botonNuevoUsuario_);

    auto* password = new QHBoxLayout;
    password->addWidget(labelContrasena_);
    password->addWidget(editContrasena_);
    password->addWidget(botonOk_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(listaUsuarios_);
    layout->addLayout(newUser);
    layout->addLayout(password);
    // Hidden controls keep their place, so the dialog does not change size.
    for (QWidget* w : {static_cast<QWidget*>(labelContrasena_),
                       static_cast<QWidget*>(editContrasena_), static_cast<QWidget*>(botonOk_)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    FinishDialog(this, QStringLiteral("Iniciar sesión como..."), "FormInicioSesion");

    formNuevoUsuario_ = new TFormNuevoUsuario(users_, dialogs_, this);

    connect(checkerUsuario_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) CheckerUsuarioClick();
    });
    connect(checkerAdministrador_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) CheckerAdministradorClick();
    });
    connect(checkerInvitado_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) CheckerInvitadoClick();
    });
    connect(listaUsuarios_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem*) { ListaUsuariosClick(); });
    connect(botonNuevoUsuario_, &QPushButton::clicked, this,
            &TFormInicioSesion::BotonNuevoUsuarioClick);
    connect(editContrasena_, &QLineEdit::returnPressed, this, &TFormInicioSesion::BotonOkClick);
    connect(botonOk_, &QPushButton::clicked, this, &TFormInicioSesion::BotonOkClick);
}

TFormInicioSesion::~TFormInicioSesion() = default;

void TFormInicioSesion::FillList() {
    std::vector<std::string> names;
    Guarded(dialogs_, this, [&] { names = users_.ListUsers(); });
    listaUsuarios_->clear();
    for (const std::string& name : names) listaUsuarios_->addItem(ToQString(name));
}

void TFormInicioSesion::ShowPasswordControls(bool visible) {
    labelContrasena_->setVisible(visible);
    editContrasena_->setVisible(visible);
}

void TFormInicioSesion::FormShow() {
    role_ = kGuest;
    userName_.clear();
    FillList();
    checkerUsuario_->setChecked(true);
    CheckerUsuarioClick();
}

void TFormInicioSesion::CheckerUsuarioClick() {
    listaUsuarios_->setEnabled(true);
    editContrasena_->clear();
    const bool hasNames = listaUsuarios_->count() > 0;
    ShowPasswordControls(hasNames);
    botonOk_->setVisible(hasNames);
    if (hasNames) {
        listaUsuarios_->setCurrentRow(0);
        editContrasena_->setFocus(Qt::OtherFocusReason);
    } else {
        botonNuevoUsuario_->setFocus(Qt::OtherFocusReason);
    }
}

void TFormInicioSesion::CheckerAdministradorClick() {
    listaUsuarios_->setEnabled(false);
    editContrasena_->clear();
    ShowPasswordControls(true);
    botonOk_->setVisible(true);
    editContrasena_->setFocus(Qt::OtherFocusReason);
}

void TFormInicioSesion::CheckerInvitadoClick() {
    listaUsuarios_->setEnabled(false);
    editContrasena_->clear();
    ShowPasswordControls(false);
    botonOk_->setVisible(true);
    botonOk_->setFocus(Qt::OtherFocusReason);
}

void TFormInicioSesion::ListaUsuariosClick() {
    editContrasena_->clear();
    editContrasena_->setFocus(Qt::OtherFocusReason);
}

void TFormInicioSesion::BotonNuevoUsuarioClick() {
    if (dialogs_.Exec(formNuevoUsuario_) != QDialog::Accepted) {
        if (editContrasena_->isVisible())
            editContrasena_->setFocus(Qt::OtherFocusReason);
        else if (botonOk_->isVisible())
            botonOk_->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QString name = formNuevoUsuario_->UserName();
    const QString password = formNuevoUsuario_->Password();
    if (!Guarded(dialogs_, this,
                 [&] { users_.AddUser(ToCp1252(name), ToCp1252(password)); })) {
        return;
    }
    checkerUsuario_->setChecked(true);
    listaUsuarios_->setEnabled(true);
    FillList();
    // Names that differ only in case are different users: select the exact one.
    const QString stored = ToQString(ToCp1252(name));
    for (int row = 0; row < listaUsuarios_->count(); ++row) {
        if (listaUsuarios_->item(row)->text() == stored) {
            listaUsuarios_->setCurrentRow(row);
            break;
        }
    }
    ShowPasswordControls(true);
    editContrasena_->setText(password);
    botonOk_->setVisible(true);
    botonOk_->setFocus(Qt::OtherFocusReason);
}

void TFormInicioSesion::WrongPassword() {
    dialogs_.Error(this,
                   QStringLiteral("La contraseña es errónea\nPor favor, introdúcela de nuevo"));
    editContrasena_->setFocus(Qt::OtherFocusReason);
    editContrasena_->selectAll();
}

void TFormInicioSesion::BotonOkClick() {
    if (checkerInvitado_->isChecked()) {
        role_ = kGuest;
        userName_.clear();
        accept();
        return;
    }
    const std::string typed = ToCp1252(editContrasena_->text());
    if (checkerAdministrador_->isChecked()) {
        std::string expected;
        if (!Guarded(dialogs_, this, [&] { expected = users_.GetAdminPassword(); })) return;
        if (typed != expected) {
            WrongPassword();
            return;
        }
        role_ = kAdministrator;
        userName_.clear();
        accept();
        return;
    }
    if (!checkerUsuario_->isChecked()) return;
    const int row = listaUsuarios_->currentRow();
    if (row < 0 || row >= listaUsuarios_->count()) {
        WrongPassword();
        return;
    }
    const QString name = listaUsuarios_->item(row)->text();
    std::string expected;
    bool found = false;
    if (!Guarded(dialogs_, this, [&] {
            found = users_.UserExists(ToCp1252(name)) != -1;
            if (found) expected = users_.GetUserPassword(ToCp1252(name));
        })) {
        return;
    }
    // A user without a password cannot come from these dialogs; an empty one never logs in.
    if (!found || expected.empty() || typed != expected) {
        WrongPassword();
        return;
    }
    role_ = row;
    userName_ = name;
    accept();
}

} // namespace vexamo

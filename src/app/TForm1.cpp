#include "app/TForm1.h"

#include "app/TFormAcercaDe.h"
#include "authoring/TFormNuevaPregunta.h"
#include "bank/SubjectListsPanel.h"
#include "documents/DocumentOptionsPanel.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "test/TFormPregunta.h"
#include "test/TestOptionsPanel.h"
#include "users/TFormCambiarContrasena.h"
#include "users/TFormInicioSesion.h"
#include "users/TFormNuevoAdministrador.h"
#include "users/TFormPerfilUsuario.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace vexamo {

namespace {

const QString kOpenCaption = QStringLiteral("Opciones  <<");
const QString kClosedCaption = QStringLiteral("Opciones  >>");

QString PathText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// The import queue takes the files whose name ends in ".mtr", in any case.
bool IsSubjectFile(const QString& name) {
    return name.size() >= 4 && name.right(4).toUpper() == QStringLiteral(".MTR");
}

} // namespace

TForm1::TForm1(std::filesystem::path dataFolder, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), dataFolder_(std::move(dataFolder)), dialogs_(dialogs),
      catalogue_(dataFolder_) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Vexamo 0.99"));
    setWindowIcon(ProgramPicture(64));

    // The users file is only named here; it is read when someone logs in.
    users_.OpenUsersFile(UsersFilePath());
    if (!catalogue_.LoadOrCreate()) {
        dialogs_.Error(this, QStringLiteral("\nNo se ha podido leer ni crear el catálogo ") +
                                 PathText(catalogue_.FilePath()) + QStringLiteral(":\n") +
                                 QString::fromStdString(catalogue_.ErrorString()));
    }

    formAcercaDe_ = new TFormAcercaDe(this);
    formNuevaPregunta_ = new TFormNuevaPregunta(*this, this);
    formPregunta_ = new TFormPregunta(*this, *formNuevaPregunta_, this);
    formNuevoAdministrador_ = new TFormNuevoAdministrador(users_, dialogs_, this);
    formInicioSesion_ = new TFormInicioSesion(users_, dialogs_, this);
    formCambiarContrasena_ = new TFormCambiarContrasena(users_, dialogs_, this);
    formPerfilUsuario_ = new TFormPerfilUsuario(users_, dialogs_, this);

    BuildMenus();
    BuildPanels();
    lists_->FillExamList();
    lists_->RebuildLists();
    ApplyRole();
    SetOptionsOpen(false);
    resize(kClosedWidth, kInitialHeight);
    // Centred, so that the log-in, which comes before the window appears, is centred too.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kOpenWidth / 2, kInitialHeight / 2));
    }
}

TForm1::~TForm1() = default;

void TForm1::RebuildLists() { lists_->RebuildLists(); }

QAction* TForm1::MenuItem(const QString& name) const {
    const auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

QAction* TForm1::AddItem(QMenu* menu, const char* name, const QString& caption,
                         const QKeySequence& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    items_[action->objectName()] = action;
    return action;
}

void TForm1::BuildMenus() {
    QMenuBar* bar = menuBar();
    auto addMenu = [&](const char* name, const QString& caption) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };

    menuUsuario_ = addMenu("MenuUsuario", QStringLiteral("&Usuario"));
    AddItem(menuUsuario_, "MenuGestionarUsuarios", QStringLiteral("Gestionar usuarios..."));
    AddItem(menuUsuario_, "MenuHistorial", QStringLiteral("Historial..."),
            QKeySequence(Qt::CTRL | Qt::Key_H));
    AddItem(menuUsuario_, "MenuCambiarContrasena", QStringLiteral("Cambiar contraseña..."));
    menuUsuario_->addSeparator();
    AddItem(menuUsuario_, "MenuCerrarSesion", QStringLiteral("Cerrar sesión"),
            QKeySequence(Qt::CTRL | Qt::Key_Z));
    AddItem(menuUsuario_, "MenuSalir", QStringLiteral("Salir del programa"),
            QKeySequence(Qt::CTRL | Qt::Key_X));

    menuArchivo_ = addMenu("MenuArchivo", QStringLiteral("&Archivo"));
    QMenu* nuevo = menuArchivo_->addMenu(QStringLiteral("Nuevo"));
    nuevo->setObjectName(QStringLiteral("MenuNuevo"));
    // Ctrl+E and Ctrl+M belong to "Nuevo examen" and "Nueva materia", which run the same
    // commands; two actions with one shortcut would make Qt ignore the key, so these two
    // only show it.
    AddItem(nuevo, "MenuNuevoExamenArchivo", QStringLiteral("Examen\tCtrl+E"));
    AddItem(nuevo, "MenuNuevaMateriaArchivo", QStringLiteral("Materia\tCtrl+M"));
    menuArchivo_->addSeparator();
    AddItem(menuArchivo_, "MenuImportarMateria", QStringLiteral("Importar materia..."));
    AddItem(menuArchivo_, "MenuExportarMateria", QStringLiteral("Exportar materia..."));
    AddItem(menuArchivo_, "MenuExportarTodas", QStringLiteral("Exportar todas las materias..."));

    menuExamen_ = addMenu("MenuExamen", QStringLiteral("&Examen"));
    AddItem(menuExamen_, "MenuNuevoExamen", QStringLiteral("Nuevo examen"),
            QKeySequence(Qt::CTRL | Qt::Key_E));
    AddItem(menuExamen_, "MenuEliminarExamen", QStringLiteral("Eliminar examen"));
    menuExamen_->addSeparator();
    // Every role starts tests, but "&Examen" is hidden from all but the administrator, and a
    // hidden menu's shortcuts do not fire: the window itself carries Ctrl+T as well.
    addAction(AddItem(menuExamen_, "MenuEmpezarTest", QStringLiteral("Empezar test..."),
                      QKeySequence(Qt::CTRL | Qt::Key_T)));
    AddItem(menuExamen_, "MenuTestWord", QStringLiteral("Exportar a Word..."),
            QKeySequence(Qt::CTRL | Qt::Key_W));
    AddItem(menuExamen_, "MenuTestImpresora", QStringLiteral("Imprimir test..."),
            QKeySequence(Qt::CTRL | Qt::Key_P));

    menuMateria_ = addMenu("MenuMateria", QStringLiteral("&Materia"));
    AddItem(menuMateria_, "MenuNuevaMateria", QStringLiteral("Nueva materia"),
            QKeySequence(Qt::CTRL | Qt::Key_M));
    AddItem(menuMateria_, "MenuEliminarMateria", QStringLiteral("Eliminar materia"));
    menuMateria_->addSeparator();
    AddItem(menuMateria_, "MenuBuscarMateria", QStringLiteral("Buscar materia..."),
            QKeySequence(Qt::CTRL | Qt::Key_B));
    AddItem(menuMateria_, "MenuNuevaPregunta", QStringLiteral("Añadir preguntas..."),
            QKeySequence(Qt::CTRL | Qt::Key_A));

    menuHerramientas_ = addMenu("MenuHerramientas", QStringLiteral("&Herramientas"));
    AddItem(menuHerramientas_, "MenuReiniciarTodas", QStringLiteral("Reiniciar todas las materias"));
    AddItem(menuHerramientas_, "MenuDetectarErrores", QStringLiteral("Detectar y reparar errores"));

    menuInfo_ = addMenu("MenuInfo", QStringLiteral("&Info"));
    AddItem(menuInfo_, "MenuAyuda", QStringLiteral("Ayuda..."), QKeySequence(Qt::Key_F1));
    menuInfo_->addSeparator();
    AddItem(menuInfo_, "MenuAcercaDe", QStringLiteral("Acerca de..."));

    // Commands that come with later parts of the program: present, not yet available.
    for (const char* name : {"MenuGestionarUsuarios", "MenuHistorial", "MenuImportarMateria",
                             "MenuExportarMateria", "MenuExportarTodas", "MenuTestWord",
                             "MenuTestImpresora"}) {
        items_.at(QString::fromLatin1(name))->setEnabled(false);
    }

    auto on = [this](const char* name, auto handler) {
        connect(items_.at(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    };
    on("MenuCambiarContrasena", [this] { MenuCambiarContrasenaClick(); });
    on("MenuCerrarSesion", [this] { MenuCerrarSesionClick(); });
    on("MenuSalir", [this] { MenuSalirClick(); });
    on("MenuAyuda", [this] { MenuAyudaClick(); });
    on("MenuAcercaDe", [this] { MenuAcercaDeClick(); });
    on("MenuNuevaPregunta", [this] { MenuNuevaPreguntaClick(); });
}

void TForm1::BuildPanels() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("PanelPrincipal"));
    central->setMinimumWidth(1); // the window may be made narrower than its panels
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(3, 3, 3, 3);
    row->setSpacing(3);

    auto* left = new QWidget(central);
    left->setObjectName(QStringLiteral("PanelIzquierdo"));
    left->setFixedWidth(kLeftWidth);
    auto* leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);

    auto* tools = new QHBoxLayout;
    auto makeTool = [&](const char* name, QStyle::StandardPixmap icon, const QString& hint) {
        auto* button = new QToolButton(left);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(style()->standardIcon(icon));
        button->setToolTip(hint);
        button->setAutoRaise(true);
        tools->addWidget(button);
        return button;
    };
    QToolButton* empezarTest =
        makeTool("EmpezarTest", QStyle::SP_MediaPlay, QStringLiteral("Empezar test (Ctrl+T)"));
    QToolButton* testWord = makeTool("TestWord", QStyle::SP_FileIcon,
                                     QStringLiteral("Exportar test a Word (Ctrl+W)"));
    QToolButton* testImpresora = makeTool("TestImpresora", QStyle::SP_DialogSaveButton,
                                          QStringLiteral("Imprimir test (Ctrl+P)"));
    testWord->setEnabled(false);
    testImpresora->setEnabled(false);
    botonBuscarMateria_ = makeTool("BuscarMateria", QStyle::SP_FileDialogContentsView,
                                   QStringLiteral("Buscar materia (Ctrl+B)"));
    tools->addStretch();
    botonOpciones_ = new QPushButton(kClosedCaption, left);
    botonOpciones_->setObjectName(QStringLiteral("BotonOpciones"));
    botonOpciones_->setCheckable(true);
    tools->addWidget(botonOpciones_);
    leftColumn->addLayout(tools);

    lists_ = new SubjectListsPanel(*this, left);
    leftColumn->addWidget(lists_, 1);
    row->addWidget(left);

    panelOpciones_ = new QWidget(central);
    panelOpciones_->setObjectName(QStringLiteral("PanelOpciones"));
    panelOpciones_->setFixedWidth(kOpenWidth - kLeftWidth - 3 * 3);
    auto* rightColumn = new QVBoxLayout(panelOpciones_);
    rightColumn->setContentsMargins(0, 0, 0, 0);
    testOptions_ = new TestOptionsPanel(*this, *lists_, *formPregunta_, panelOpciones_);
    documentOptions_ = new DocumentOptionsPanel(dialogs_, panelOpciones_);
    rightColumn->addWidget(testOptions_);
    rightColumn->addStretch();
    rightColumn->addWidget(documentOptions_);
    row->addWidget(panelOpciones_);
    row->addStretch();
    setCentralWidget(central);

    lists_->AttachCompanions(testOptions_->CheckerNumPreguntas(), documentOptions_->EditTitulo(),
                             items_.at(QStringLiteral("MenuEliminarExamen")));
    lists_->SetTopicOptions(testOptions_->TopicOptions());
    documentOptions_->SetDefaultTitleSource([this] { return DefaultTitle(); });

    connect(botonOpciones_, &QPushButton::clicked, this, [this] { BotonOpcionesClick(); });
    connect(empezarTest, &QToolButton::clicked, testOptions_, &TestOptionsPanel::StartTest);
    connect(botonBuscarMateria_, &QToolButton::clicked, lists_, &SubjectListsPanel::BuscarMateria);
    connect(lists_, &SubjectListsPanel::SelectedSubjectChanged, this,
            [this](int subject) { menuMateria_->setEnabled(subject >= 0); });

    auto command = [this](const char* name, auto receiver, auto slot) {
        connect(items_.at(QString::fromLatin1(name)), &QAction::triggered, receiver, slot);
    };
    command("MenuEmpezarTest", testOptions_, &TestOptionsPanel::StartTest);
    command("MenuNuevoExamen", lists_, &SubjectListsPanel::NuevoExamen);
    command("MenuNuevoExamenArchivo", lists_, &SubjectListsPanel::NuevoExamen);
    command("MenuEliminarExamen", lists_, &SubjectListsPanel::EliminarExamen);
    command("MenuNuevaMateria", lists_, &SubjectListsPanel::NuevaMateria);
    command("MenuNuevaMateriaArchivo", lists_, &SubjectListsPanel::NuevaMateria);
    command("MenuEliminarMateria", lists_, &SubjectListsPanel::EliminarMateria);
    command("MenuBuscarMateria", lists_, &SubjectListsPanel::BuscarMateria);
    command("MenuReiniciarTodas", lists_, &SubjectListsPanel::ReiniciarTodasLasMaterias);
    command("MenuDetectarErrores", lists_, &SubjectListsPanel::DetectarYRepararErrores);
}

QString TForm1::DefaultTitle() const {
    if (lists_->IsSpecificMode())
        return QStringLiteral("Test específico - ") + lists_->EditMateriaText();
    const int examType = lists_->SelectedExamType();
    const QString name = examType >= 0 && examType < catalogue_.ExamTypeCount()
                             ? ToQString(catalogue_.examTypes[examType].Name())
                             : QString();
    return QStringLiteral("Test general - ") + name;
}

void TForm1::ApplyRole() {
    const bool administrator = currentRole_ == kRoleAdministrator;
    for (QMenu* menu : {menuArchivo_, menuExamen_, menuMateria_, menuHerramientas_}) {
        menu->menuAction()->setVisible(administrator);
        // Disabled as well as hidden, so that no other path (a shortcut the window carries,
        // a tool button) reaches them.
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || action->menu()) continue;
            action->setEnabled(administrator);
        }
    }
    for (QAction* action : menuArchivo_->findChild<QMenu*>(QStringLiteral("MenuNuevo"))->actions())
        action->setEnabled(administrator);
    // "Empezar test..." lives in "&Examen" but every role may start a test.
    items_.at(QStringLiteral("MenuEmpezarTest"))->setEnabled(true);
    // Still to come, whoever logs in.
    for (const char* name : {"MenuImportarMateria", "MenuExportarMateria", "MenuExportarTodas",
                             "MenuTestWord", "MenuTestImpresora"}) {
        items_.at(QString::fromLatin1(name))->setEnabled(false);
    }
    items_.at(QStringLiteral("MenuGestionarUsuarios"))->setVisible(administrator);
    items_.at(QStringLiteral("MenuHistorial"))->setVisible(currentRole_ >= 0);
    items_.at(QStringLiteral("MenuCambiarContrasena"))->setVisible(currentRole_ != kRoleGuest);
    items_.at(QStringLiteral("MenuCambiarContrasena"))->setEnabled(currentRole_ != kRoleGuest);
    botonBuscarMateria_->setVisible(administrator);
    lists_->ApplyRole(currentRole_);
}

bool TForm1::FormShow() {
    if (!firstShowDone_) {
        firstShowDone_ = true;
        std::error_code error;
        if (!std::filesystem::exists(UsersFilePath(), error)) {
            if (dialogs_.Exec(formNuevoAdministrador_) != QDialog::Accepted) {
                Terminate();
                return false;
            }
            try {
                users_.CreateUsersFile(UsersFilePath(),
                                       ToCp1252(formNuevoAdministrador_->Password()));
            } catch (const std::exception& e) {
                // Nobody could log in without the file: say why and stop.
                dialogs_.Error(this, QStringLiteral("\nNo se ha podido crear el archivo de usuarios ") +
                                         PathText(UsersFilePath()) + QStringLiteral(":\n") +
                                         QString::fromUtf8(e.what()));
                Terminate();
                return false;
            }
        }
    }

    if (dialogs_.Exec(formInicioSesion_) != QDialog::Accepted) {
        Terminate();
        return false;
    }
    currentUserName_.clear();
    const int role = formInicioSesion_->Role();
    if (role == kRoleGuest) {
        currentRole_ = kRoleGuest;
        menuUsuario_->setTitle(QStringLiteral("&Invitado"));
    } else if (role == kRoleAdministrator) {
        currentRole_ = kRoleAdministrator;
        menuUsuario_->setTitle(QStringLiteral("&Administrador"));
    } else {
        currentRole_ = role;
        currentUserName_ = formInicioSesion_->UserName();
        menuUsuario_->setTitle(QStringLiteral("&Usuario"));
    }
    ApplyRole();
    if (auto* general = lists_->findChild<QRadioButton*>(QStringLiteral("TestGeneral")))
        general->setFocus();
    return true;
}

void TForm1::setVisible(bool visible) {
    if (visible && !isVisible() && !inFormShow_) {
        inFormShow_ = true;
        const bool goOn = FormShow();
        inFormShow_ = false;
        if (!goOn) return; // the program is ending: the window never appears
    }
    QMainWindow::setVisible(visible);
}

void TForm1::SetOptionsOpen(bool open) {
    optionsOpen_ = open;
    botonOpciones_->setChecked(open);
    botonOpciones_->setText(open ? kOpenCaption : kClosedCaption);
    panelOpciones_->setVisible(open);
    resize(open ? kOpenWidth : kClosedWidth, height());
}

void TForm1::BotonOpcionesClick() { SetOptionsOpen(botonOpciones_->text() == kClosedCaption); }

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    const int limit = optionsOpen_ ? kOpenWidth : kClosedWidth;
    if (width() > limit) resize(limit, height());
}

void TForm1::MenuSalirClick() {
    if (dialogs_.Message(this, MessageKind::Confirmation,
                         QStringLiteral("\n¿Seguro que quieres dejar Vexamo?"),
                         Yes | No | Cancel) == Yes) {
        ExitProcess(0);
    }
}

void TForm1::MenuCerrarSesionClick() {
    hide();
    show(); // showing runs the log-in again
}

void TForm1::MenuCambiarContrasenaClick() {
    if (currentRole_ == kRoleGuest) return;
    if (!formCambiarContrasena_->Prepare(currentRole_, currentUserName_)) return;
    if (dialogs_.Exec(formCambiarContrasena_) == QDialog::Accepted)
        formCambiarContrasena_->ApplyChange();
}

void TForm1::MenuAyudaClick() {
    const std::filesystem::path chm = dataFolder_ / "Vexamo.chm";
    const std::filesystem::path html = dataFolder_ / "Vexamo.html";
    std::error_code error;
    const std::filesystem::path help = std::filesystem::exists(chm, error) ? chm : html;
    if (!std::filesystem::exists(help, error)) {
        dialogs_.Error(this, QStringLiteral("\nNo se encuentra la ayuda del programa en ") +
                                 PathText(dataFolder_));
        return;
    }
    if (!OpenDocument(help))
        dialogs_.Error(this, QStringLiteral("\nNo se ha podido abrir la ayuda ") + PathText(help));
}

void TForm1::MenuAcercaDeClick() { dialogs_.Exec(formAcercaDe_); }

void TForm1::MenuNuevaPreguntaClick() {
    const int subject = lists_->SelectedSubject();
    if (subject < 0 || subject >= catalogue_.SubjectCount()) {
        dialogs_.Information(this, QStringLiteral("\nNo hay ninguna materia a la que añadir preguntas."));
        return;
    }
    formNuevaPregunta_->AddQuestions(subject);
}

void TForm1::ReceiveParameters(const QStringList& parameters) {
    // A hidden window is in the middle of a log-in: showing it now would start another.
    if (isVisible()) {
        if (isMinimized()) showNormal();
        raise();
        activateWindow();
    }
    for (const QString& parameter : parameters) {
        if (IsSubjectFile(parameter)) pendingImports_.append(parameter);
    }
}

void TForm1::ExitProcess(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

void TForm1::Terminate() {
    QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

bool TForm1::OpenDocument(const std::filesystem::path& file) { return OpenWithDesktop(file); }

} // namespace vexamo

#include "app/TForm1.h"

#include "app/TFormAcercaDe.h"
#include "authoring/TFormNuevaPregunta.h"
#include "platform/SingleInstance.h"
#include "users/TFormCambiarContrasena.h"
#include "users/TFormInicioSesion.h"
#include "users/TFormNuevoAdministrador.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <unistd.h>

namespace vexamo {
namespace {

using testing::ScriptedDialogs;
using testing::TempDir;
namespace fs = std::filesystem;

// The main window with its ways out of the process observed instead of taken.
class ObservedForm1 : public TForm1 {
public:
    using TForm1::TForm1;
    int exits = 0;
    int exitCode = -1;
    int terminations = 0;
    std::vector<fs::path> opened;
    bool openSucceeds = true;

protected:
    void ExitProcess(int code) override {
        ++exits;
        exitCode = code;
    }
    void Terminate() override { ++terminations; }
    bool OpenDocument(const fs::path& file) override {
        opened.push_back(file);
        return openSucceeds;
    }
};

template <typename T>
T* Child(QObject* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

enum class Choice { User, Administrator, Guest };

// Scripts the first-run dialog: both password fields, then "Ok".
void ScriptFirstRun(ScriptedDialogs& dialogs, const QString& password) {
    dialogs.ExpectExec([password](QDialog* dialog) {
        auto* form = qobject_cast<TFormNuevoAdministrador*>(dialog);
        EXPECT_NE(form, nullptr) << "expected the first-run dialog";
        if (form == nullptr) return int(QDialog::Rejected);
        form->FormShow();
        Child<QLineEdit>(form, "EditContrasena1")->setText(password);
        Child<QLineEdit>(form, "EditContrasena2")->setText(password);
        form->BotonOkClick();
        return form->result();
    });
}

// Scripts the log-in dialog the way a person fills it in.
void ScriptLogIn(ScriptedDialogs& dialogs, Choice choice, const QString& password = {},
                 const QString& userName = {}) {
    dialogs.ExpectExec([=](QDialog* dialog) {
        auto* form = qobject_cast<TFormInicioSesion*>(dialog);
        EXPECT_NE(form, nullptr) << "expected the log-in dialog";
        if (form == nullptr) return int(QDialog::Rejected);
        form->FormShow();
        switch (choice) {
        case Choice::Guest:
            Child<QRadioButton>(form, "CheckerInvitado")->setChecked(true);
            form->CheckerInvitadoClick();
            break;
        case Choice::Administrator:
            Child<QRadioButton>(form, "CheckerAdministrador")->setChecked(true);
            form->CheckerAdministradorClick();
            break;
        case Choice::User: {
            auto* list = Child<QListWidget>(form, "ListaUsuarios");
            const auto found = list->findItems(userName, Qt::MatchExactly);
            EXPECT_EQ(found.size(), 1) << userName.toStdString();
            if (!found.isEmpty()) list->setCurrentItem(found.front());
            form->ListaUsuariosClick();
            break;
        }
        }
        if (choice != Choice::Guest) Child<QLineEdit>(form, "EditContrasena")->setText(password);
        form->BotonOkClick();
        return form->result();
    });
}

void ScriptCancel(ScriptedDialogs& dialogs) {
    dialogs.ExpectExec([](QDialog*) { return int(QDialog::Rejected); });
}

// A data folder whose users file holds the administrator and two named users; the log-in
// list shows them as "ana" (0) and "Bruno" (1).
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        TArchivoVexamousers users;
        users.CreateUsersFile(dir / kUsersFileName, "jefe");
        ASSERT_EQ(users.AddUser("Bruno", "b2"), 1);
        ASSERT_EQ(users.AddUser("ana", "a1"), 2);
    }

    // Shown and logged in as the administrator.
    std::unique_ptr<ObservedForm1> AdministratorWindow() {
        auto form = std::make_unique<ObservedForm1>(dir.Path(), dialogs);
        ScriptLogIn(dialogs, Choice::Administrator, QStringLiteral("jefe"));
        form->show();
        EXPECT_TRUE(form->isVisible());
        return form;
    }

    bool MenuShown(QMenu* menu) const { return menu->menuAction()->isVisible(); }

    TempDir dir;
    ScriptedDialogs dialogs;
};

TEST(MainWindowFirstRun, AsksForTheAdministratorPasswordCreatesTheFileAndLogsIn) {
    TempDir dir;
    ScriptedDialogs dialogs;
    ObservedForm1 form(dir.Path(), dialogs);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vexamo 0.99"));
    EXPECT_TRUE(fs::exists(dir / kCatalogueFileName)) << "a new catalogue is written";
    ASSERT_FALSE(fs::exists(dir / kUsersFileName));

    ScriptFirstRun(dialogs, QStringLiteral("Secreta1"));
    ScriptLogIn(dialogs, Choice::Administrator, QStringLiteral("Secreta1"));
    form.show();

    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.terminations, 0);
    EXPECT_EQ(form.CurrentRole(), kRoleAdministrator);
    ASSERT_TRUE(fs::exists(dir / kUsersFileName));
    TArchivoVexamousers reread;
    reread.OpenUsersFile(dir / kUsersFileName);
    EXPECT_EQ(reread.GetAdminPassword(), "Secreta1");
    EXPECT_TRUE(reread.ListUsers().empty());
}

TEST(MainWindowFirstRun, CancellingTheFirstRunDialogEndsWithoutAWindowOrAFile) {
    TempDir dir;
    ScriptedDialogs dialogs;
    ObservedForm1 form(dir.Path(), dialogs);
    ScriptCancel(dialogs); // no log-in may follow: ScriptedDialogs fails on an unscripted one
    form.show();
    EXPECT_EQ(form.terminations, 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(fs::exists(dir / kUsersFileName));
}

struct RoleCase {
    const char* label;
    Choice choice;
    const char* userName;
    const char* password;
    int role;
    const char* caption;
    bool administrator;
    bool historial;
    bool cambiarContrasena;
};

const RoleCase kRoles[] = {
    {"Administrator", Choice::Administrator, "", "jefe", -1, "&Administrador", true, false, true},
    {"FirstUser", Choice::User, "ana", "a1", 0, "&Usuario", false, true, true},
    {"SecondUser", Choice::User, "Bruno", "b2", 1, "&Usuario", false, true, true},
    {"Guest", Choice::Guest, "", "", -2, "&Invitado", false, false, false},
};

class MainWindowRoles : public MainWindowTest, public ::testing::WithParamInterface<RoleCase> {};

TEST_P(MainWindowRoles, LogInSetsRoleCaptionAndMenus) {
    const RoleCase& c = GetParam();
    ObservedForm1 form(dir.Path(), dialogs);
    ScriptLogIn(dialogs, c.choice, QString::fromUtf8(c.password), QString::fromUtf8(c.userName));
    form.show();

    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(form.CurrentRole(), c.role);
    EXPECT_EQ(form.CurrentUserName(), QString::fromUtf8(c.userName));
    EXPECT_EQ(form.MenuUsuario()->title(), QString::fromUtf8(c.caption));
    for (QMenu* menu : {form.MenuArchivo(), form.MenuExamen(), form.MenuMateria(),
                        form.MenuHerramientas()}) {
        EXPECT_EQ(MenuShown(menu), c.administrator) << menu->title().toStdString();
    }
    // A hidden menu's shortcut must not work either.
    for (const char* name : {"MenuNuevaMateria", "MenuNuevoExamen", "MenuBuscarMateria",
                             "MenuNuevaPregunta", "MenuEliminarMateria", "MenuReiniciarTodas"}) {
        EXPECT_EQ(form.MenuItem(QString::fromLatin1(name))->isEnabled(), c.administrator) << name;
    }
    EXPECT_TRUE(form.MenuItem(QStringLiteral("MenuEmpezarTest"))->isEnabled());
    EXPECT_EQ(form.MenuItem(QStringLiteral("MenuGestionarUsuarios"))->isVisible(), c.administrator);
    EXPECT_EQ(form.MenuItem(QStringLiteral("MenuHistorial"))->isVisible(), c.historial);
    EXPECT_EQ(form.MenuItem(QStringLiteral("MenuCambiarContrasena"))->isVisible(),
              c.cambiarContrasena);
    EXPECT_EQ(Child<QToolButton>(&form, "BuscarMateria")->isVisibleTo(&form), c.administrator);
    EXPECT_TRUE(form.MenuItem(QStringLiteral("MenuCerrarSesion"))->isVisible());
    EXPECT_TRUE(form.MenuItem(QStringLiteral("MenuSalir"))->isVisible());
    EXPECT_EQ(form.terminations, 0);

    // Every role starts a test with Ctrl+T, even where "&Examen" is hidden. The bank is
    // empty, so the start ends in its message.
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    dialogs.ClearMessages();
    QTest::keyClick(&form, Qt::Key_T, Qt::ControlModifier);
    ASSERT_EQ(dialogs.Messages().size(), 1u) << "Ctrl+T did not start a test";
}

INSTANTIATE_TEST_SUITE_P(EachRole, MainWindowRoles, ::testing::ValuesIn(kRoles),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(MainWindowTest, LogOutAndGuestLogInHideTheAdministratorsMenus) {
    auto form = AdministratorWindow();
    ASSERT_TRUE(MenuShown(form->MenuMateria()));
    ASSERT_TRUE(form->MenuItem(QStringLiteral("MenuCambiarContrasena"))->isVisible());

    ScriptLogIn(dialogs, Choice::Guest);
    form->MenuItem(QStringLiteral("MenuCerrarSesion"))->trigger();

    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->CurrentRole(), kRoleGuest);
    EXPECT_TRUE(form->CurrentUserName().isEmpty());
    EXPECT_EQ(form->MenuUsuario()->title(), QStringLiteral("&Invitado"));
    EXPECT_FALSE(MenuShown(form->MenuArchivo()));
    EXPECT_FALSE(MenuShown(form->MenuMateria()));
    EXPECT_FALSE(form->MenuItem(QStringLiteral("MenuGestionarUsuarios"))->isVisible());
    EXPECT_FALSE(form->MenuItem(QStringLiteral("MenuCambiarContrasena"))->isVisible());
    EXPECT_FALSE(form->MenuItem(QStringLiteral("MenuNuevaMateria"))->isEnabled());
}

TEST_F(MainWindowTest, LogOutThenNamedUserKeepsTheUsersName) {
    auto form = AdministratorWindow();
    ScriptLogIn(dialogs, Choice::User, QStringLiteral("b2"), QStringLiteral("Bruno"));
    form->MenuCerrarSesionClick();
    EXPECT_EQ(form->CurrentRole(), 1);
    EXPECT_EQ(form->CurrentUserName(), QStringLiteral("Bruno"));
    EXPECT_EQ(form->MenuUsuario()->title(), QStringLiteral("&Usuario"));
    EXPECT_TRUE(form->MenuItem(QStringLiteral("MenuHistorial"))->isVisible());
}

TEST_F(MainWindowTest, CancelledLogInEndsTheProgramWithoutShowingTheWindow) {
    ObservedForm1 form(dir.Path(), dialogs);
    ScriptCancel(dialogs);
    form.show();
    EXPECT_EQ(form.terminations, 1);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(MainWindowTest, CancelledLogInAfterLogOutEndsTheProgram) {
    auto form = AdministratorWindow();
    ScriptCancel(dialogs);
    form->MenuCerrarSesionClick();
    EXPECT_EQ(form->terminations, 1);
    EXPECT_FALSE(form->isVisible());
}

struct ExitCase {
    DialogButton answer;
    int exits;
};

class MainWindowExit : public MainWindowTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(MainWindowExit, SalirAsksAndEndsOnlyOnYes) {
    auto form = AdministratorWindow();
    dialogs.ClearMessages();
    dialogs.ExpectMessage(GetParam().answer);
    form->MenuItem(QStringLiteral("MenuSalir"))->trigger();

    ASSERT_EQ(dialogs.Messages().size(), 1u);
    const auto& box = dialogs.Messages().front();
    EXPECT_EQ(box.text, QStringLiteral("\n¿Seguro que quieres dejar Vexamo?"));
    EXPECT_EQ(box.kind, MessageKind::Confirmation);
    EXPECT_EQ(box.buttons, Yes | No | Cancel);
    EXPECT_EQ(form->exits, GetParam().exits);
    if (GetParam().exits > 0) {
        EXPECT_EQ(form->exitCode, 0);
    }
    EXPECT_EQ(form->terminations, 0);
    EXPECT_TRUE(form->isVisible()) << "no window is closed on the way out";
}

INSTANTIATE_TEST_SUITE_P(Answers, MainWindowExit,
                         ::testing::Values(ExitCase{Yes, 1}, ExitCase{No, 0}, ExitCase{Cancel, 0}));

TEST_F(MainWindowTest, SalirShortcutReachesTheConfirmation) {
    auto form = AdministratorWindow();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    dialogs.ExpectMessage(No);
    QTest::keyClick(form.get(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(dialogs.LastMessage(), QStringLiteral("\n¿Seguro que quieres dejar Vexamo?"));
    EXPECT_EQ(form->exits, 0);
}

TEST_F(MainWindowTest, OptionsButtonTogglesCaptionWidthAndPanel) {
    auto form = AdministratorWindow();
    // The test window has a button of the same name: take the main window's own.
    auto* button = Child<QPushButton>(Child<QWidget>(form.get(), "PanelIzquierdo"), "BotonOpciones");
    auto* panel = Child<QWidget>(form.get(), "PanelOpciones");
    EXPECT_EQ(button->text(), QStringLiteral("Opciones  >>"));
    EXPECT_EQ(form->width(), 407);
    EXPECT_FALSE(panel->isVisible());

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->text(), QStringLiteral("Opciones  <<"));
    EXPECT_TRUE(form->OptionsOpen());
    EXPECT_EQ(form->width(), 663);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_NE(panel->findChild<QWidget*>(QStringLiteral("EditTitulo")), nullptr);
    EXPECT_NE(panel->findChild<QWidget*>(QStringLiteral("CheckerNumPreguntas")), nullptr);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->text(), QStringLiteral("Opciones  >>"));
    EXPECT_EQ(form->width(), 407);
    EXPECT_FALSE(panel->isVisible());
}

struct ResizeCase {
    bool open;
    int requested;
    int expected;
};

class MainWindowResize : public MainWindowTest, public ::testing::WithParamInterface<ResizeCase> {};

TEST_P(MainWindowResize, WiderThanTheStateAllowsSnapsBackNarrowerStays) {
    auto form = AdministratorWindow();
    form->SetOptionsOpen(GetParam().open);
    form->resize(GetParam().requested, form->height());
    QApplication::processEvents();
    EXPECT_EQ(form->width(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Widths, MainWindowResize,
                         ::testing::Values(ResizeCase{true, 900, 663}, ResizeCase{true, 664, 663},
                                           ResizeCase{true, 500, 500}, ResizeCase{true, 300, 300},
                                           ResizeCase{false, 663, 407}, ResizeCase{false, 408, 407},
                                           ResizeCase{false, 350, 350}));

struct HelpCase {
    const char* label;
    bool chm;
    bool html;
    bool openSucceeds;
    const char* opened; // "" when nothing may be opened
    bool error;
};

class MainWindowHelp : public MainWindowTest, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(MainWindowHelp, OpensTheChmOrElseTheHtmlHelp) {
    const HelpCase& c = GetParam();
    if (c.chm) testing::WriteBytes(dir / "Vexamo.chm", "ITSF");
    if (c.html) testing::WriteBytes(dir / "Vexamo.html", "<html></html>");
    auto form = AdministratorWindow();
    form->openSucceeds = c.openSucceeds;
    dialogs.ClearMessages();
    form->MenuItem(QStringLiteral("MenuAyuda"))->trigger();

    if (*c.opened) {
        ASSERT_EQ(form->opened.size(), 1u);
        EXPECT_EQ(form->opened.front(), dir / c.opened);
    } else {
        EXPECT_TRUE(form->opened.empty());
    }
    ASSERT_EQ(dialogs.Messages().size(), c.error ? 1u : 0u);
    if (c.error) {
        EXPECT_EQ(dialogs.Messages().front().kind, MessageKind::Error);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, MainWindowHelp,
    ::testing::Values(HelpCase{"Chm", true, true, true, "Vexamo.chm", false},
                      HelpCase{"HtmlOnly", false, true, true, "Vexamo.html", false},
                      HelpCase{"Nothing", false, false, true, "", true},
                      HelpCase{"DesktopFails", true, false, false, "Vexamo.chm", true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(MainWindowTest, AboutBoxShowsVersionPictureAndClosesWithOk) {
    auto form = AdministratorWindow();
    dialogs.ExpectExec([](QDialog* dialog) {
        EXPECT_NE(qobject_cast<TFormAcercaDe*>(dialog), nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Acerca de..."));
        bool version = false;
        bool picture = false;
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            version = version || label->text() == QStringLiteral("Versión 0.99");
            picture = picture || !label->pixmap().isNull();
        }
        EXPECT_TRUE(version);
        EXPECT_TRUE(picture);
        auto* ok = Child<QPushButton>(dialog, "BotonOk");
        EXPECT_EQ(ok->text(), QStringLiteral("Ok"));
        ok->click();
        return dialog->result();
    });
    form->MenuItem(QStringLiteral("MenuAcercaDe"))->trigger();
    EXPECT_EQ(form->FormAcercaDe().result(), QDialog::Accepted);
}

TEST_F(MainWindowTest, CambiarContrasenaChangesTheLoggedInUsersPassword) {
    ObservedForm1 form(dir.Path(), dialogs);
    ScriptLogIn(dialogs, Choice::User, QStringLiteral("a1"), QStringLiteral("ana"));
    form.show();
    dialogs.ExpectExec([](QDialog* dialog) {
        auto* change = qobject_cast<TFormCambiarContrasena*>(dialog);
        EXPECT_NE(change, nullptr);
        if (change == nullptr) return int(QDialog::Rejected);
        change->FormShow();
        Child<QLineEdit>(change, "EditContrasenaActual")->setText(QStringLiteral("a1"));
        Child<QLineEdit>(change, "EditContrasena1")->setText(QStringLiteral("nueva"));
        Child<QLineEdit>(change, "EditContrasena2")->setText(QStringLiteral("nueva"));
        change->BotonOkClick();
        return change->result();
    });
    form.MenuItem(QStringLiteral("MenuCambiarContrasena"))->trigger();

    EXPECT_EQ(dialogs.LastMessage(), QStringLiteral("\nSe ha cambiado la contraseña"));
    TArchivoVexamousers reread;
    reread.OpenUsersFile(dir / kUsersFileName);
    EXPECT_EQ(reread.GetUserPassword("ana"), "nueva");
    EXPECT_EQ(reread.GetUserPassword("Bruno"), "b2");
    EXPECT_EQ(reread.GetAdminPassword(), "jefe");
}

TEST_F(MainWindowTest, AnadirPreguntasOpensTheEditorOnTheSelectedSubject) {
    Catalogue catalogue(dir.Path());
    ASSERT_TRUE(catalogue.LoadOrCreate());
    ASSERT_TRUE(catalogue.AddSubject("Historia", 0));
    auto form = AdministratorWindow();
    dialogs.ExpectExec([](QDialog* dialog) {
        auto* editor = qobject_cast<TFormNuevaPregunta*>(dialog);
        EXPECT_NE(editor, nullptr);
        if (editor != nullptr) {
            EXPECT_EQ(editor->SubjectNumber(), 0);
            EXPECT_FALSE(editor->IsEditMode());
        }
        return int(QDialog::Rejected);
    });
    form->MenuItem(QStringLiteral("MenuNuevaPregunta"))->trigger();
}

TEST_F(MainWindowTest, AnadirPreguntasWithoutSubjectsExplainsInsteadOfOpening) {
    auto form = AdministratorWindow();
    dialogs.ClearMessages();
    form->MenuItem(QStringLiteral("MenuNuevaPregunta"))->trigger();
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages().front().text,
              QStringLiteral("\nNo hay ninguna materia a la que añadir preguntas."));
}

struct MenuCase {
    const char* name;
    const char* menu;
    const char* caption;
    const char* shortcut; // portable text, "" for none
    bool enabledForAdministrator;
};

const MenuCase kMenus[] = {
    {"MenuGestionarUsuarios", "&Administrador", "Gestionar usuarios...", "", false},
    {"MenuHistorial", "&Administrador", "Historial...", "Ctrl+H", false},
    {"MenuCambiarContrasena", "&Administrador", "Cambiar contraseña...", "", true},
    {"MenuCerrarSesion", "&Administrador", "Cerrar sesión", "Ctrl+Z", true},
    {"MenuSalir", "&Administrador", "Salir del programa", "Ctrl+X", true},
    {"MenuNuevoExamenArchivo", "Nuevo", "Examen\tCtrl+E", "", true},
    {"MenuNuevaMateriaArchivo", "Nuevo", "Materia\tCtrl+M", "", true},
    {"MenuImportarMateria", "&Archivo", "Importar materia...", "", false},
    {"MenuExportarMateria", "&Archivo", "Exportar materia...", "", false},
    {"MenuExportarTodas", "&Archivo", "Exportar todas las materias...", "", false},
    {"MenuNuevoExamen", "&Examen", "Nuevo examen", "Ctrl+E", true},
    {"MenuEliminarExamen", "&Examen", "Eliminar examen", "", true},
    {"MenuEmpezarTest", "&Examen", "Empezar test...", "Ctrl+T", true},
    {"MenuTestWord", "&Examen", "Exportar a Word...", "Ctrl+W", false},
    {"MenuTestImpresora", "&Examen", "Imprimir test...", "Ctrl+P", false},
    {"MenuNuevaMateria", "&Materia", "Nueva materia", "Ctrl+M", true},
    {"MenuEliminarMateria", "&Materia", "Eliminar materia", "", true},
    {"MenuBuscarMateria", "&Materia", "Buscar materia...", "Ctrl+B", true},
    {"MenuNuevaPregunta", "&Materia", "Añadir preguntas...", "Ctrl+A", true},
    {"MenuReiniciarTodas", "&Herramientas", "Reiniciar todas las materias", "", true},
    {"MenuDetectarErrores", "&Herramientas", "Detectar y reparar errores", "", true},
    {"MenuAyuda", "&Info", "Ayuda...", "F1", true},
    {"MenuAcercaDe", "&Info", "Acerca de...", "", true},
};

class MainWindowMenus : public MainWindowTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MainWindowMenus, ItemHasItsCaptionShortcutAndPlace) {
    const MenuCase& c = GetParam();
    auto form = AdministratorWindow();
    QAction* item = form->MenuItem(QString::fromLatin1(c.name));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->objectName(), QString::fromLatin1(c.name));
    EXPECT_EQ(item->text(), QString::fromUtf8(c.caption));
    EXPECT_EQ(item->shortcut().toString(QKeySequence::PortableText), QString::fromLatin1(c.shortcut));
    EXPECT_EQ(item->isEnabled(), c.enabledForAdministrator);
    // The menu that holds it.
    bool placed = false;
    for (QMenu* menu : form->findChildren<QMenu*>()) {
        if (menu->title() == QString::fromUtf8(c.menu) && menu->actions().contains(item)) placed = true;
    }
    EXPECT_TRUE(placed) << c.menu;
}

INSTANTIATE_TEST_SUITE_P(Items, MainWindowMenus, ::testing::ValuesIn(kMenus),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, MenuBarOrderAndSeparators) {
    auto form = AdministratorWindow();
    QStringList titles;
    for (QAction* action : form->menuBar()->actions()) titles << action->text();
    EXPECT_EQ(titles, (QStringList{"&Administrador", "&Archivo", "&Examen", "&Materia",
                                   "&Herramientas", "&Info"}));
    auto layout = [](QMenu* menu) {
        QStringList texts;
        for (QAction* action : menu->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    };
    EXPECT_EQ(layout(form->MenuUsuario()),
              (QStringList{"Gestionar usuarios...", "Historial...", "Cambiar contraseña...", "-",
                           "Cerrar sesión", "Salir del programa"}));
    EXPECT_EQ(layout(form->MenuArchivo()),
              (QStringList{"Nuevo", "-", "Importar materia...", "Exportar materia...",
                           "Exportar todas las materias..."}));
    EXPECT_EQ(layout(form->MenuExamen()),
              (QStringList{"Nuevo examen", "Eliminar examen", "-", "Empezar test...",
                           "Exportar a Word...", "Imprimir test..."}));
}

TEST_F(MainWindowTest, ParametersFromASecondStartQueueTheSubjectFiles) {
    auto form = AdministratorWindow();
    form->ReceiveParameters({QStringLiteral("/tmp/a.mtr"), QStringLiteral("notas.txt"),
                             QStringLiteral("B.MTR"), QStringLiteral("mtr"), QStringLiteral("c.Mtr")});
    form->ReceiveParameters({QStringLiteral("d.mtr")});
    EXPECT_EQ(form->PendingImports(),
              (QStringList{"/tmp/a.mtr", "B.MTR", "c.Mtr", "d.mtr"}));
    EXPECT_TRUE(form->isVisible());
}

// Runs `program` as another process while this one's event loop keeps serving.
int RunProcess(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) return -1;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit); // a hung child fails, not hangs
    if (process.state() != QProcess::NotRunning) loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

TEST_F(MainWindowTest, SecondStartInAnotherProcessReachesTheImportQueue) {
    auto form = AdministratorWindow();
    SingleInstance guard(QStringLiteral("vexamo-mainwindow-test-%1").arg(QCoreApplication::applicationPid()));
    ASSERT_TRUE(guard.Listen());
    QObject::connect(&guard, &SingleInstance::ParametersReceived, form.get(),
                     &TForm1::ReceiveParameters);

    QStringList parameters;
    for (int i = 0; i < 12; ++i) parameters << QStringLiteral("/datos/tema%1.mtr").arg(i);
    // 300 characters after the cut, still ending in ".mtr"; cut beyond that, it would not.
    parameters[2] = QString(296, QLatin1Char('a')) + QStringLiteral(".mtr");
    parameters[3] = QString(297, QLatin1Char('b')) + QStringLiteral(".mtr");
    EXPECT_EQ(RunProcess(QStringLiteral(VEXAMO_SINGLE_INSTANCE_SENDER),
                         QStringList{guard.ServerName(), QStringLiteral("10000")} + parameters),
              0);

    QStringList expected;
    for (int i = 0; i < 10; ++i) {
        if (i != 3) expected << parameters.at(i);
    }
    EXPECT_EQ(form->PendingImports(), expected);
}

TEST(MainWindowSecondStart, TheProgramItselfHandsOverAndEndsWithoutAWindow) {
    const QString program = QStringLiteral(VEXAMO_PROGRAM);
    SingleInstance first(QFileInfo(program).fileName() + QLatin1Char('-') +
                         QString::number(::getuid()));
    if (!first.Listen()) GTEST_SKIP() << "the program is running on this machine";
    QSignalSpy received(&first, &SingleInstance::ParametersReceived);
    EXPECT_EQ(RunProcess(program, {QStringLiteral("uno.mtr"), QStringLiteral("dos")}), 0);
    ASSERT_EQ(received.count(), 1);
    EXPECT_EQ(received.at(0).at(0).toStringList(),
              (QStringList{QStringLiteral("uno.mtr"), QStringLiteral("dos")}));
}

} // namespace
} // namespace vexamo

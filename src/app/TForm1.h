#pragma once
// The main window: the program's shell. It owns the catalogue, the users file object, the
// role of whoever logged in and the import queue; it hosts the subject lists on the left and
// the test and document options on the right, builds the menu bar and runs the log-in every
// time it is shown.

#include "bank/Catalogue.h"
#include "platform/Session.h"
#include "users/UsersFile.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <map>

class QAction;
class QMenu;
class QPushButton;
class QToolButton;

namespace vexamo {

class DocumentOptionsPanel;
class SubjectListsPanel;
class TFormAcercaDe;
class TFormCambiarContrasena;
class TFormInicioSesion;
class TFormNuevaPregunta;
class TFormNuevoAdministrador;
class TFormPerfilUsuario;
class TFormPregunta;
class TestOptionsPanel;

class TForm1 : public QMainWindow, public Session {
    Q_OBJECT
public:
    static constexpr int kLeftWidth = 401;
    static constexpr int kOpenWidth = 663;   // options panel shown
    static constexpr int kClosedWidth = 407; // options panel hidden
    static constexpr int kInitialHeight = 640;

    TForm1(std::filesystem::path dataFolder, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TForm1() override;

    // Session.
    Catalogue& GetCatalogue() override { return catalogue_; }
    TArchivoVexamousers& Users() override { return users_; }
    Dialogs& GetDialogs() override { return dialogs_; }
    int CurrentRole() const override { return currentRole_; }
    QString CurrentUserName() const override { return currentUserName_; }
    void RebuildLists() override;

    const std::filesystem::path& DataFolder() const { return dataFolder_; }
    std::filesystem::path UsersFilePath() const { return dataFolder_ / kUsersFileName; }
    const QStringList& PendingImports() const { return pendingImports_; }

    // A menu item by its objectName ("MenuSalir"), or null.
    QAction* MenuItem(const QString& name) const;
    QMenu* MenuUsuario() const { return menuUsuario_; }
    QMenu* MenuArchivo() const { return menuArchivo_; }
    QMenu* MenuExamen() const { return menuExamen_; }
    QMenu* MenuMateria() const { return menuMateria_; }
    QMenu* MenuHerramientas() const { return menuHerramientas_; }

    SubjectListsPanel& Lists() const { return *lists_; }
    TestOptionsPanel& TestOptions() const { return *testOptions_; }
    DocumentOptionsPanel& DocumentOptions() const { return *documentOptions_; }
    TFormAcercaDe& FormAcercaDe() const { return *formAcercaDe_; }
    TFormNuevoAdministrador& FormNuevoAdministrador() const { return *formNuevoAdministrador_; }
    TFormInicioSesion& FormInicioSesion() const { return *formInicioSesion_; }
    TFormCambiarContrasena& FormCambiarContrasena() const { return *formCambiarContrasena_; }
    TFormNuevaPregunta& FormNuevaPregunta() const { return *formNuevaPregunta_; }
    TFormPregunta& FormPregunta() const { return *formPregunta_; }
    TFormPerfilUsuario& FormPerfilUsuario() const { return *formPerfilUsuario_; }

    bool OptionsOpen() const { return optionsOpen_; }
    void SetOptionsOpen(bool open);

    // Runs before the window appears: the first time, makes sure the users file exists;
    // every time, the log-in and the role. False when the program is ending instead.
    bool FormShow();
    void setVisible(bool visible) override;

    // Handlers of the menus and buttons.
    void BotonOpcionesClick();
    void MenuSalirClick();
    void MenuCerrarSesionClick();
    void MenuCambiarContrasenaClick();
    void MenuAyudaClick();
    void MenuAcercaDeClick();
    void MenuNuevaPreguntaClick();

public slots:
    // Parameters handed over by a second start of the program.
    void ReceiveParameters(const QStringList& parameters);

protected:
    // Ends the process at once, closing nothing ("Salir del programa").
    virtual void ExitProcess(int code);
    // Ends the application once control is back in its event loop (a cancelled first-run
    // or log-in dialog); nothing more is shown.
    virtual void Terminate();
    // Opens a file with the desktop's handler; false when that failed.
    virtual bool OpenDocument(const std::filesystem::path& file);

    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildMenus();
    void BuildPanels();
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {});
    void ApplyRole();
    QString DefaultTitle() const;

    std::filesystem::path dataFolder_;
    Dialogs& dialogs_;
    TArchivoVexamousers users_;
    Catalogue catalogue_;
    QStringList pendingImports_;
    int currentRole_ = kRoleGuest; // nobody has logged in yet: the fewest rights
    QString currentUserName_;
    bool firstShowDone_ = false;
    bool inFormShow_ = false;
    bool optionsOpen_ = false;

    std::map<QString, QAction*> items_;
    QMenu* menuUsuario_ = nullptr;
    QMenu* menuArchivo_ = nullptr;
    QMenu* menuExamen_ = nullptr;
    QMenu* menuMateria_ = nullptr;
    QMenu* menuHerramientas_ = nullptr;
    QMenu* menuInfo_ = nullptr;

    QWidget* panelOpciones_ = nullptr;
    QPushButton* botonOpciones_ = nullptr;
    QToolButton* botonBuscarMateria_ = nullptr;

    // Windows, created once and reused; all are children of the main window.
    TFormAcercaDe* formAcercaDe_ = nullptr;
    TFormNuevaPregunta* formNuevaPregunta_ = nullptr;
    TFormPregunta* formPregunta_ = nullptr;
    TFormNuevoAdministrador* formNuevoAdministrador_ = nullptr;
    TFormInicioSesion* formInicioSesion_ = nullptr; // owns the new-user window
    TFormCambiarContrasena* formCambiarContrasena_ = nullptr;
    TFormPerfilUsuario* formPerfilUsuario_ = nullptr;

    SubjectListsPanel* lists_ = nullptr;
    TestOptionsPanel* testOptions_ = nullptr;
    DocumentOptionsPanel* documentOptions_ = nullptr;
};

} // namespace vexamo

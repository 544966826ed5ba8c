// The log-in and account dialogs on a real users file, driven through their controls.

#include "users/TFormCambiarContrasena.h"
#include "users/TFormInicioSesion.h"
#include "users/TFormNuevoAdministrador.h"
#include "users/TFormNuevoUsuario.h"
#include "users/TFormPerfilUsuario.h"
#include "users/UsersFile.h"

#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace vexamo {
namespace {

using testing::ScriptedDialogs;
using testing::TempDir;

const QString kPasswordError =
    QStringLiteral("Error en la contraseña\nPor favor, introdúcela de nuevo");
const QString kWrongLogin =
    QStringLiteral("La contraseña es errónea\nPor favor, introdúcela de nuevo");
const QString kNoName = QStringLiteral("\nIntroduce un nombre de usuario");
const QString kNameTaken =
    QStringLiteral("Ya existe un usuario con ese nombre\nIntroduce otro nombre distinto...");
const QString kWrongCurrent =
    QStringLiteral("La contraseña es incorrecta\nPrueba a introducirla de nuevo...");
const QString kNewPasswordError =
    QStringLiteral("Error en la nueva contraseña\nPor favor, introdúcela de nuevo");

template <class T = QLineEdit>
T* Find(QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Types character by character; QTest::keyClicks only knows ASCII.
void Type(QWidget* field, const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
    }
}
void Enter(QWidget* widget) { QTest::keyClick(widget, Qt::Key_Return); }
void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

void ClickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

QStringList Items(QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
}

int RowOf(QListWidget* list, const QString& name) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == name) return i;
    return -1;
}

class AccountDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        users.OpenUsersFile(path);
        users.CreateUsersFile(path, "Secreto");
    }

    // A second object on the same file, as the program would see it on its next start.
    std::string AdminPasswordOnDisk() {
        TArchivoVexamousers other;
        other.OpenUsersFile(path);
        return other.GetAdminPassword();
    }
    std::string UserPasswordOnDisk(const char* name) {
        TArchivoVexamousers other;
        other.OpenUsersFile(path);
        return other.GetUserPassword(name);
    }

    TempDir dir;
    std::filesystem::path path = dir / kUsersFileName;
    TArchivoVexamousers users;
    ScriptedDialogs dialogs;
};

// --- Every dialog: caption, fields, limits, Esc -------------------------------------------

struct DialogShape {
    const char* what;
    std::function<std::unique_ptr<QDialog>(TArchivoVexamousers&, Dialogs&)> make;
    const char* caption;
    std::vector<const char*> passwordFields;
    std::vector<const char*> plainFields;
    std::vector<const char*> labels;
};

std::vector<DialogShape> Shapes() {
    return {
        {"first run",
         [](TArchivoVexamousers& u, Dialogs& d) {
             return std::make_unique<TFormNuevoAdministrador>(u, d);
         },
         "Administrador de Vexamo",
         {"EditContrasena1", "EditContrasena2"},
         {},
         {"Contraseña del Administrador:", "Repite la contraseña:"}},
        {"log-in",
         [](TArchivoVexamousers& u, Dialogs& d) {
             return std::make_unique<TFormInicioSesion>(u, d);
         },
         "Iniciar sesión como...",
         {"EditContrasena"},
         {},
         {"Contraseña:"}},
        {"new user",
         [](TArchivoVexamousers& u, Dialogs& d) {
             return std::make_unique<TFormNuevoUsuario>(u, d);
         },
         "Nuevo usuario",
         {"EditContrasena1", "EditContrasena2"},
         {"EditNombreUsuario"},
         {"Nombre:", "Contraseña:", "Repite la contraseña:"}},
        {"change password",
         [](TArchivoVexamousers& u, Dialogs& d) {
             return std::make_unique<TFormCambiarContrasena>(u, d);
         },
         "Cambiar contraseña",
         {"EditContrasenaActual", "EditContrasena1", "EditContrasena2"},
         {},
         {"Contraseña actual:", "Nueva contraseña:", "Repite la nueva contraseña:"}},
        {"profile",
         [](TArchivoVexamousers& u, Dialogs& d) {
             return std::make_unique<TFormPerfilUsuario>(u, d);
         },
         "Perfil de usuario",
         {},
         {"EditNombre", "EditContrasena"},
         {"Nombre:", "Contraseña:"}},
    };
}

TEST_F(AccountDialogsTest, EveryDialogHasItsCaptionFieldsAndLimitsAndEscCancels) {
    for (const DialogShape& shape : Shapes()) {
        SCOPED_TRACE(shape.what);
        std::unique_ptr<QDialog> form = shape.make(users, dialogs);
        dialogs.ExpectExec([&](QDialog* d) {
            d->show();
            EXPECT_EQ(d->windowTitle(), QString::fromUtf8(shape.caption));
            EXPECT_TRUE(d->isModal());
            QStringList labels;
            for (QLabel* label : d->findChildren<QLabel*>()) labels << label->text();
            for (const char* text : shape.labels)
                EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
            for (const auto& [names, echo] :
                 {std::pair{shape.passwordFields, QLineEdit::Password},
                  std::pair{shape.plainFields, QLineEdit::Normal}}) {
                for (const char* name : names) {
                    QLineEdit* field = Find(d, name);
                    if (!field) continue;
                    EXPECT_EQ(field->echoMode(), echo) << name;
                    field->clear();
                    Type(field, QStringLiteral("12345678901234567890"));
                    EXPECT_EQ(field->text(), QStringLiteral("1234567890123456")) << name;
                    if (echo == QLineEdit::Password) {
                        EXPECT_EQ(field->displayText(), QString(16, QLatin1Char('*'))) << name;
                    }
                }
            }
            // Nothing is filtered.
            QLineEdit* anyField = d->findChild<QLineEdit*>();
            anyField->clear();
            Type(anyField, QStringLiteral(" ñ*?/\\Ü "));
            EXPECT_EQ(anyField->text(), QStringLiteral(" ñ*?/\\Ü "));
            QTest::keyClick(anyField, Qt::Key_Escape);
            EXPECT_FALSE(d->isVisible());
            return d->result();
        });
        EXPECT_EQ(dialogs.Exec(form.get()), QDialog::Rejected);
        EXPECT_TRUE(dialogs.Messages().empty());
    }
}

// Names and passwords are kept in Windows-1252: text the code page lacks is refused instead of
// being stored altered (and then matching other text).
TEST_F(AccountDialogsTest, TextThatCannotBeStoredIsRefused) {
    users.AddUser("Luis", "l");
    const QString kName = QStringLiteral("\nEl nombre lleva caracteres que no se pueden guardar.\n"
                                         "Usa solo letras, cifras y signos corrientes");
    const QString kPassword =
        QStringLiteral("\nLa contraseña lleva caracteres que no se pueden guardar.\n"
                       "Usa solo letras, cifras y signos corrientes");
    const QString omega = QStringLiteral("clave\u03A9");
    const struct {
        const char* what;
        int shape; // index into Shapes()
        std::vector<std::pair<const char*, QString>> fields;
        QString message;
        const char* focus;
    } cases[] = {
        {"first-run password",
         0,
         {{"EditContrasena1", omega}, {"EditContrasena2", omega}},
         kPassword,
         "EditContrasena1"},
        {"new user's name",
         2,
         {{"EditNombreUsuario", QStringLiteral("Ωmega")},
          {"EditContrasena1", "x"},
          {"EditContrasena2", "x"}},
         kName,
         "EditNombreUsuario"},
        {"new user's password",
         2,
         {{"EditNombreUsuario", QStringLiteral("Olga")},
          {"EditContrasena1", omega},
          {"EditContrasena2", omega}},
         kPassword,
         "EditContrasena1"},
        {"changed password",
         3,
         {{"EditContrasenaActual", QStringLiteral("l")},
          {"EditContrasena1", omega},
          {"EditContrasena2", omega}},
         kPassword,
         "EditContrasena1"},
        {"profile password",
         4,
         {{"EditNombre", QStringLiteral("Luis")}, {"EditContrasena", omega}},
         kPassword,
         "EditContrasena"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.ClearMessages();
        std::unique_ptr<QDialog> form =
            Shapes()[static_cast<std::size_t>(c.shape)].make(users, dialogs);
        if (auto* change = qobject_cast<TFormCambiarContrasena*>(form.get()))
            change->Prepare(0, "Luis");
        dialogs.ExpectExec([&](QDialog* d) {
            d->show();
            for (const auto& [name, text] : c.fields) {
                Find(d, name)->clear();
                Type(Find(d, name), text);
            }
            Click(Find<QPushButton>(d, "BotonOk"));
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ(dialogs.LastMessage(), c.message);
            EXPECT_EQ(d->focusWidget(), Find(d, c.focus));
            d->reject();
            return d->result();
        });
        EXPECT_EQ(dialogs.Exec(form.get()), QDialog::Rejected);
        EXPECT_EQ(dialogs.Messages().size(), 1u);
    }
    EXPECT_EQ(UserPasswordOnDisk("Luis"), "l");
    EXPECT_EQ(users.ListUsers(), std::vector<std::string>{"Luis"});
}

// --- First run ---------------------------------------------------------------------------

TEST_F(AccountDialogsTest, FirstRunRefusesMismatchAndEmptyThenGivesThePasswordForTheNewFile) {
    TFormNuevoAdministrador form(users, dialogs);
    dialogs.ExpectExec([&](QDialog* d) {
        auto* edit1 = Find(d, "EditContrasena1");
        auto* edit2 = Find(d, "EditContrasena2");
        edit1->setText(QStringLiteral("resto"));
        d->show();
        EXPECT_TRUE(edit1->text().isEmpty()); // emptied on showing
        EXPECT_EQ(d->focusWidget(), edit1);

        Type(edit1, QStringLiteral("abc"));
        Enter(edit1);
        EXPECT_EQ(d->focusWidget(), edit2);
        Type(edit2, QStringLiteral("abC"));
        Enter(edit2);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(dialogs.LastMessage(), kPasswordError);
        EXPECT_TRUE(edit1->text().isEmpty());
        EXPECT_TRUE(edit2->text().isEmpty());
        EXPECT_EQ(d->focusWidget(), edit1);

        Click(Find<QPushButton>(d, "BotonOk")); // both empty
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(dialogs.Messages().size(), 2u);

        Type(edit1, QStringLiteral("Clave 1"));
        Enter(edit1);
        Type(edit2, QStringLiteral("Clave 1"));
        Enter(edit2);
        return d->result();
    });
    ASSERT_EQ(dialogs.Exec(&form), QDialog::Accepted);
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    for (const auto& m : dialogs.Messages()) {
        EXPECT_EQ(m.kind, MessageKind::Error);
        EXPECT_EQ(m.text, kPasswordError);
        EXPECT_EQ(m.buttons, Ok);
    }
    EXPECT_EQ(form.Password(), QStringLiteral("Clave 1"));

    // What the main window then does with it.
    TempDir fresh;
    TArchivoVexamousers created;
    created.OpenUsersFile(fresh / kUsersFileName);
    created.CreateUsersFile(fresh / kUsersFileName, form.Password().toStdString());
    TArchivoVexamousers reread;
    reread.OpenUsersFile(fresh / kUsersFileName);
    EXPECT_EQ(reread.GetAdminPassword(), "Clave 1");
}

TEST_F(AccountDialogsTest, FirstRunWithAnEmptySecondFieldIsRefused) {
    TFormNuevoAdministrador form(users, dialogs);
    dialogs.ExpectExec([&](QDialog* d) {
        d->show();
        Type(Find(d, "EditContrasena1"), QStringLiteral("x"));
        Click(Find<QPushButton>(d, "BotonOk"));
        EXPECT_EQ(dialogs.LastMessage(), kPasswordError);
        Click(Find<QPushButton>(d, "BotonCancelar"));
        return d->result();
    });
    EXPECT_EQ(dialogs.Exec(&form), QDialog::Rejected);
}

// --- Log-in --------------------------------------------------------------------------------

TEST_F(AccountDialogsTest, AdministratorLogInRetriesAWrongPasswordUntilTheRightOne) {
    users.AddUser("Luis", "l");
    users.AddUser("ana", "a");
    TFormInicioSesion form(users, dialogs);
    dialogs.ExpectExec([&](QDialog* d) {
        d->show();
        auto* list = Find<QListWidget>(d, "ListaUsuarios");
        auto* password = Find(d, "EditContrasena");
        EXPECT_EQ(Items(list), (QStringList{"ana", "Luis"}));
        EXPECT_TRUE(Find<QRadioButton>(d, "CheckerUsuario")->isChecked());

        Click(Find<QRadioButton>(d, "CheckerAdministrador"));
        EXPECT_TRUE(Find<QRadioButton>(d, "CheckerAdministrador")->isChecked());
        EXPECT_FALSE(list->isEnabled());
        EXPECT_TRUE(password->isVisible());
        EXPECT_TRUE(Find<QPushButton>(d, "BotonOk")->isVisible());
        EXPECT_EQ(d->focusWidget(), password);

        Type(password, QStringLiteral("secreto")); // case matters
        Enter(password);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(dialogs.LastMessage(), kWrongLogin);
        EXPECT_EQ(d->focusWidget(), password);
        EXPECT_EQ(password->selectedText(), QStringLiteral("secreto"));

        Type(password, QStringLiteral("l")); // a user's password is not the administrator's
        Click(Find<QPushButton>(d, "BotonOk"));
        EXPECT_EQ(dialogs.Messages().size(), 2u);

        password->selectAll();
        Type(password, QStringLiteral("Secreto"));
        Enter(password);
        return d->result();
    });
    ASSERT_EQ(dialogs.Exec(&form), QDialog::Accepted);
    EXPECT_EQ(form.Role(), -1);
    EXPECT_TRUE(form.UserName().isEmpty());
    ASSERT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_EQ(dialogs.Messages()[1].text, kWrongLogin);
    EXPECT_EQ(dialogs.Messages()[1].kind, MessageKind::Error);
}

TEST_F(AccountDialogsTest, GuestNeedsNoPasswordAndEnterOnOkLogsIn) {
    users.AddUser("Luis", "l");
    TFormInicioSesion form(users, dialogs);
    dialogs.ExpectExec([&](QDialog* d) {
        d->show();
        Type(Find(d, "EditContrasena"), QStringLiteral("algo"));
        Click(Find<QRadioButton>(d, "CheckerInvitado"));
        auto* ok = Find<QPushButton>(d, "BotonOk");
        EXPECT_TRUE(Find(d, "EditContrasena")->text().isEmpty());
        EXPECT_FALSE(Find(d, "EditContrasena")->isVisible());
        EXPECT_FALSE(Find<QLabel>(d, "LabelContrasena")->isVisible());
        EXPECT_FALSE(Find<QListWidget>(d, "ListaUsuarios")->isEnabled());
        EXPECT_TRUE(ok->isVisible());
        EXPECT_EQ(d->focusWidget(), ok);
        Enter(ok);
        return d->result();
    });
    ASSERT_EQ(dialogs.Exec(&form), QDialog::Accepted);
    EXPECT_EQ(form.Role(), -2);
    EXPECT_TRUE(form.UserName().isEmpty());
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(AccountDialogsTest, NamedUserLogsInWithTheirOwnPasswordEvenWhenNamesDifferOnlyInCase) {
    users.AddUser("Bea", "tres");
    users.AddUser("ana", "dos");
    users.AddUser("Ana", "uno");
    TFormInicioSesion form(users, dialogs);
    int row = -1;
    dialogs.ExpectExec([&](QDialog* d) {
        d->show();
        auto* list = Find<QListWidget>(d, "ListaUsuarios");
        auto* password = Find(d, "EditContrasena");
        EXPECT_EQ(Items(list).size(), 3);
        EXPECT_EQ(Items(list).last(), QStringLiteral("Bea"));
        EXPECT_TRUE(list->isEnabled());
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_EQ(d->focusWidget(), password);

        row = RowOf(list, QStringLiteral("ana"));
        Type(password, QStringLiteral("borrar"));
        ClickRow(list, row);
        EXPECT_EQ(list->currentRow(), row);
        EXPECT_TRUE(password->text().isEmpty());
        EXPECT_EQ(d->focusWidget(), password);

        Type(password, QStringLiteral("uno")); // the other Ana's
        Enter(password);
        EXPECT_EQ(dialogs.LastMessage(), kWrongLogin);
        Type(password, QStringLiteral("DOS"));
        Enter(password);
        EXPECT_EQ(dialogs.Messages().size(), 2u);
        Type(password, QStringLiteral("dos"));
        Enter(password);
        return d->result();
    });
    ASSERT_EQ(dialogs.Exec(&form), QDialog::Accepted);
    EXPECT_EQ(form.Role(), row);
    EXPECT_EQ(form.UserName(), QStringLiteral("ana"));
    EXPECT_EQ(users.ListUsers().at(static_cast<std::size_t>(row)), "ana");
}

TEST_F(AccountDialogsTest, AUserRemovedAfterTheListWasFilledCannotLogIn) {
    users.AddUser("Luis", "l");
    TFormInicioSesion form(users, dialogs);
    dialogs.ExpectExec([&](QDialog* d) {
        d->show();
        EXPECT_EQ(Items(Find<QListWidget>(d, "ListaUsuarios")), QStringList{"Luis"});
        users.DeleteUser("Luis");
        // The password of a user that does not exist reads as empty: so must not match.
        Click(Find<QPushButton>(d, "BotonOk"));
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(dialogs.LastMessage(), kWrongLogin);
        d->reject();
        return d->result();
    });
    EXPECT_EQ(dialogs.Exec(&form), QDialog::Rejected);
}

TEST_F(AccountDialogsTest, WithNoUsersTheUserChoiceHidesPasswordAndOk) {
    TFormInicioSesion form(users, dialogs);
    dialogs.ExpectExec([&](QDialog* d) {
        d->show();
        EXPECT_TRUE(Find<QRadioButton>(d, "CheckerUsuario")->isChecked());
        EXPECT_EQ(Find<QListWidget>(d, "ListaUsuarios")->count(), 0);
        EXPECT_FALSE(Find(d, "EditContrasena")->isVisible());
        EXPECT_FALSE(Find<QLabel>(d, "LabelContrasena")->isVisible());
        EXPECT_FALSE(Find<QPushButton>(d, "BotonOk")->isVisible());
        EXPECT_TRUE(Find<QPushButton>(d, "BotonNuevoUsuario")->isVisible());
        EXPECT_EQ(Find<QPushButton>(d, "BotonNuevoUsuario")->toolTip(),
                  QStringLiteral("Crear un nuevo usuario"));
        Click(Find<QRadioButton>(d, "CheckerAdministrador"));
        EXPECT_TRUE(Find(d, "EditContrasena")->isVisible());
        Click(Find<QRadioButton>(d, "CheckerUsuario"));
        EXPECT_FALSE(Find<QPushButton>(d, "BotonOk")->isVisible());
        QTest::keyClick(d, Qt::Key_Escape);
        return d->result();
    });
    EXPECT_EQ(dialogs.Exec(&form), QDialog::Rejected);
}

TEST_F(AccountDialogsTest, NewUserFromTheLogInChecksInOrderAndIsLoggedInWithOneOk) {
    users.AddUser("Zoe", "z");
    users.AddUser("bruno", "b");
    TFormInicioSesion form(users, dialogs);
    dialogs.ExpectExec([&](QDialog* d) {
        d->show();
        Click(Find<QRadioButton>(d, "CheckerInvitado"));
        Click(Find<QPushButton>(d, "BotonNuevoUsuario"));

        auto* list = Find<QListWidget>(d, "ListaUsuarios");
        auto* password = Find(d, "EditContrasena");
        auto* ok = Find<QPushButton>(d, "BotonOk");
        EXPECT_TRUE(Find<QRadioButton>(d, "CheckerUsuario")->isChecked());
        EXPECT_TRUE(list->isEnabled());
        EXPECT_EQ(Items(list).size(), 3);
        EXPECT_EQ(list->currentItem() ? list->currentItem()->text() : QString(),
                  QStringLiteral("zoe"));
        EXPECT_TRUE(password->isVisible());
        EXPECT_EQ(password->text(), QStringLiteral("k"));
        EXPECT_TRUE(ok->isVisible());
        EXPECT_EQ(d->focusWidget(), ok);
        Enter(ok);
        return d->result();
    });
    dialogs.ExpectExec([&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Nuevo usuario"));
        auto* name = Find(d, "EditNombreUsuario");
        auto* edit1 = Find(d, "EditContrasena1");
        auto* edit2 = Find(d, "EditContrasena2");
        d->show();
        EXPECT_EQ(d->focusWidget(), name);

        Type(name, QStringLiteral("Carlos"));
        Enter(name);
        EXPECT_EQ(d->focusWidget(), edit1);
        Type(edit1, QStringLiteral("x1"));
        Enter(edit1);
        EXPECT_EQ(d->focusWidget(), edit2);
        Type(edit2, QStringLiteral("x2"));
        Enter(edit2);
        EXPECT_EQ(dialogs.LastMessage(), kPasswordError);
        EXPECT_TRUE(edit1->text().isEmpty());
        EXPECT_TRUE(edit2->text().isEmpty());
        EXPECT_EQ(name->text(), QStringLiteral("Carlos"));
        EXPECT_EQ(d->focusWidget(), edit1);

        // An empty name is reported before mismatching passwords.
        name->clear();
        Type(edit1, QStringLiteral("a"));
        Click(Find<QPushButton>(d, "BotonOk"));
        EXPECT_EQ(dialogs.LastMessage(), kNoName);
        EXPECT_EQ(d->focusWidget(), name);

        // Passwords are checked before the name is looked up.
        Type(name, QStringLiteral("Zoe"));
        Click(Find<QPushButton>(d, "BotonOk"));
        EXPECT_EQ(dialogs.LastMessage(), kPasswordError);

        Type(edit1, QStringLiteral("k"));
        Type(edit2, QStringLiteral("k"));
        Click(Find<QPushButton>(d, "BotonOk"));
        EXPECT_EQ(dialogs.LastMessage(), kNameTaken);
        EXPECT_EQ(d->focusWidget(), name);
        EXPECT_TRUE(d->isVisible());

        name->clear();
        Type(name, QStringLiteral("zoe")); // another case is another user
        Enter(edit2);
        return d->result();
    });
    ASSERT_EQ(dialogs.Exec(&form), QDialog::Accepted);
    const std::vector<std::string> names = users.ListUsers();
    const auto position = std::find(names.begin(), names.end(), "zoe") - names.begin();
    EXPECT_EQ(form.Role(), position);
    EXPECT_EQ(form.UserName(), QStringLiteral("zoe"));
    EXPECT_EQ(UserPasswordOnDisk("zoe"), "k");
    EXPECT_EQ(UserPasswordOnDisk("Zoe"), "z");

    std::vector<QString> texts;
    for (const auto& m : dialogs.Messages()) texts.push_back(m.text);
    EXPECT_EQ(texts, (std::vector<QString>{kPasswordError, kNoName, kPasswordError, kNameTaken}));
}

TEST_F(AccountDialogsTest, CancelledNewUserAddsNobodyAndGivesTheFocusBack) {
    users.AddUser("Luis", "l");
    TFormInicioSesion form(users, dialogs);
    dialogs.ExpectExec([&](QDialog* d) {
        d->show();
        Click(Find<QPushButton>(d, "BotonNuevoUsuario"));
        EXPECT_EQ(d->focusWidget(), Find(d, "EditContrasena"));
        Click(Find<QRadioButton>(d, "CheckerInvitado"));
        Click(Find<QPushButton>(d, "BotonNuevoUsuario"));
        EXPECT_EQ(d->focusWidget(), Find<QPushButton>(d, "BotonOk"));
        d->reject();
        return d->result();
    });
    for (int i = 0; i < 2; ++i) {
        dialogs.ExpectExec([&](QDialog* d) {
            d->show();
            Type(Find(d, "EditNombreUsuario"), QStringLiteral("Nadie"));
            QTest::keyClick(Find(d, "EditNombreUsuario"), Qt::Key_Escape);
            return d->result();
        });
    }
    EXPECT_EQ(dialogs.Exec(&form), QDialog::Rejected);
    EXPECT_EQ(users.ListUsers(), std::vector<std::string>{"Luis"});
}

TEST_F(AccountDialogsTest, LogInOnADamagedUsersFileShowsTheErrorAndStaysOpen) {
    const std::filesystem::path damagedPath = dir / "damaged.bin";
    testing::WriteBytes(damagedPath, "abc");
    TArchivoVexamousers damaged;
    damaged.OpenUsersFile(damagedPath);
    TFormInicioSesion form(damaged, dialogs);
    dialogs.ExpectExec([&](QDialog* d) {
        d->show();
        Click(Find<QRadioButton>(d, "CheckerAdministrador"));
        const std::size_t before = dialogs.Messages().size();
        Type(Find(d, "EditContrasena"), QStringLiteral("Secreto"));
        Enter(Find(d, "EditContrasena"));
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(dialogs.Messages().size(), before + 1);
        d->reject();
        return d->result();
    });
    EXPECT_EQ(dialogs.Exec(&form), QDialog::Rejected);
    ASSERT_FALSE(dialogs.Messages().empty());
    for (const auto& m : dialogs.Messages()) {
        EXPECT_EQ(m.kind, MessageKind::Error);
        EXPECT_FALSE(m.text.isEmpty());
        EXPECT_NE(m.text, kWrongLogin);
    }
}

// --- Change of password --------------------------------------------------------------------

TEST_F(AccountDialogsTest, AdministratorChangesOnlyTheirOwnPassword) {
    users.AddUser("Luis", "l");
    TFormCambiarContrasena form(users, dialogs);
    ASSERT_TRUE(form.Prepare(-1, QString()));
    dialogs.ExpectExec([&](QDialog* d) {
        auto* current = Find(d, "EditContrasenaActual");
        auto* edit1 = Find(d, "EditContrasena1");
        auto* edit2 = Find(d, "EditContrasena2");
        d->show();
        EXPECT_EQ(d->focusWidget(), current);

        Type(current, QStringLiteral("mal"));
        Enter(current);
        EXPECT_EQ(dialogs.LastMessage(), kWrongCurrent);
        EXPECT_EQ(d->focusWidget(), current);
        EXPECT_EQ(current->selectedText(), QStringLiteral("mal"));

        Type(current, QStringLiteral("Secreto"));
        Enter(current);
        EXPECT_EQ(d->focusWidget(), edit1);
        Type(edit1, QStringLiteral("nueva"));
        Enter(edit1);
        EXPECT_EQ(d->focusWidget(), edit2);
        Type(edit2, QStringLiteral("nuevo"));
        Enter(edit2);
        EXPECT_EQ(dialogs.LastMessage(), kNewPasswordError);
        EXPECT_TRUE(edit1->text().isEmpty());
        EXPECT_TRUE(edit2->text().isEmpty());
        EXPECT_EQ(current->text(), QStringLiteral("Secreto"));
        EXPECT_EQ(d->focusWidget(), edit1);

        Click(Find<QPushButton>(d, "BotonOk")); // new password empty
        EXPECT_EQ(dialogs.LastMessage(), kNewPasswordError);

        Type(edit1, QStringLiteral("nueva"));
        Type(edit2, QStringLiteral("nueva"));
        Click(Find<QPushButton>(d, "BotonOk"));
        return d->result();
    });
    ASSERT_EQ(dialogs.Exec(&form), QDialog::Accepted);
    // Closing empties the fields; the confirmed password stays available.
    for (const char* name : {"EditContrasenaActual", "EditContrasena1", "EditContrasena2"})
        EXPECT_TRUE(Find(&form, name)->text().isEmpty()) << name;
    EXPECT_EQ(form.NewPassword(), QStringLiteral("nueva"));
    EXPECT_EQ(dialogs.Messages().size(), 3u);

    EXPECT_TRUE(form.ApplyChange());
    EXPECT_EQ(dialogs.Messages().back().kind, MessageKind::Information);
    EXPECT_EQ(dialogs.LastMessage(), QStringLiteral("\nSe ha cambiado la contraseña"));
    EXPECT_EQ(AdminPasswordOnDisk(), "nueva");
    EXPECT_EQ(UserPasswordOnDisk("Luis"), "l");
}

TEST_F(AccountDialogsTest, NamedUserChangesTheirPasswordAndMayKeepTheSameOne) {
    users.AddUser("Luis", "l");
    users.AddUser("Marta", "m");
    // The second change keeps the password it already has.
    const struct {
        QString old;
        QString fresh;
    } changes[] = {{QStringLiteral("m"), QStringLiteral("ñu 2")},
                   {QStringLiteral("ñu 2"), QStringLiteral("ñu 2")}};
    for (const auto& change : changes) {
        const QString& old = change.old;
        const QString& newPassword = change.fresh;
        TFormCambiarContrasena form(users, dialogs);
        ASSERT_TRUE(form.Prepare(1, QStringLiteral("Marta")));
        dialogs.ExpectExec([&](QDialog* d) {
            d->show();
            auto* current = Find(d, "EditContrasenaActual");
            Type(current, QStringLiteral("l")); // Luis's password
            Type(Find(d, "EditContrasena1"), newPassword);
            Type(Find(d, "EditContrasena2"), newPassword);
            Click(Find<QPushButton>(d, "BotonOk"));
            EXPECT_EQ(dialogs.LastMessage(), kWrongCurrent);
            EXPECT_EQ(d->focusWidget(), current);
            current->clear();
            Type(current, old);
            Click(Find<QPushButton>(d, "BotonOk"));
            return d->result();
        });
        ASSERT_EQ(dialogs.Exec(&form), QDialog::Accepted);
        EXPECT_TRUE(form.ApplyChange());
        EXPECT_EQ(dialogs.LastMessage(), QStringLiteral("\nSe ha cambiado la contraseña"));
        EXPECT_EQ(UserPasswordOnDisk("Marta"), "\xF1u 2");
        EXPECT_EQ(UserPasswordOnDisk("Luis"), "l");
        EXPECT_EQ(AdminPasswordOnDisk(), "Secreto");
    }
}

TEST_F(AccountDialogsTest, PasswordChangeThatFailsSaysSo) {
    users.AddUser("Luis", "l");
    TFormCambiarContrasena form(users, dialogs);
    ASSERT_TRUE(form.Prepare(0, QStringLiteral("Luis")));
    dialogs.ExpectExec([&](QDialog* d) {
        d->show();
        Type(Find(d, "EditContrasenaActual"), QStringLiteral("l"));
        Type(Find(d, "EditContrasena1"), QStringLiteral("otra"));
        Type(Find(d, "EditContrasena2"), QStringLiteral("otra"));
        Enter(Find(d, "EditContrasena2"));
        return d->result();
    });
    ASSERT_EQ(dialogs.Exec(&form), QDialog::Accepted);
    users.DeleteUser("Luis"); // gone before the change is applied
    EXPECT_FALSE(form.ApplyChange());
    EXPECT_EQ(dialogs.Messages().back().kind, MessageKind::Error);
    EXPECT_EQ(dialogs.LastMessage(),
              QStringLiteral("\nSe ha producido un error al intentar cambiar la contraseña"));
}

TEST_F(AccountDialogsTest, CancelledPasswordChangeEmptiesTheFieldsAndChangesNothing) {
    TFormCambiarContrasena form(users, dialogs);
    ASSERT_TRUE(form.Prepare(-1, QString()));
    dialogs.ExpectExec([&](QDialog* d) {
        d->show();
        Type(Find(d, "EditContrasenaActual"), QStringLiteral("Secreto"));
        Type(Find(d, "EditContrasena1"), QStringLiteral("otra"));
        Click(Find<QPushButton>(d, "BotonCancelar"));
        return d->result();
    });
    EXPECT_EQ(dialogs.Exec(&form), QDialog::Rejected);
    EXPECT_TRUE(Find(&form, "EditContrasenaActual")->text().isEmpty());
    EXPECT_TRUE(Find(&form, "EditContrasena1")->text().isEmpty());
    EXPECT_TRUE(form.NewPassword().isEmpty());
    EXPECT_EQ(AdminPasswordOnDisk(), "Secreto");
    EXPECT_TRUE(dialogs.Messages().empty());
}

// --- Profile -------------------------------------------------------------------------------

TEST_F(AccountDialogsTest, ProfileShowsThePasswordInClearAndRequiresBothFields) {
    users.AddUser("Luis", "clave");
    TFormPerfilUsuario form(users, dialogs);
    ASSERT_TRUE(form.Prepare(QStringLiteral("Luis")));
    dialogs.ExpectExec([&](QDialog* d) {
        auto* name = Find(d, "EditNombre");
        auto* password = Find(d, "EditContrasena");
        d->show();
        EXPECT_EQ(name->text(), QStringLiteral("Luis"));
        EXPECT_EQ(password->text(), QStringLiteral("clave"));
        EXPECT_EQ(password->displayText(), QStringLiteral("clave"));
        EXPECT_EQ(d->focusWidget(), name);
        Enter(name);
        EXPECT_EQ(d->focusWidget(), password);

        name->clear();
        password->clear();
        Enter(password);
        EXPECT_EQ(dialogs.LastMessage(), kNoName);
        EXPECT_EQ(d->focusWidget(), name);
        Type(name, QStringLiteral("Luis"));
        Click(Find<QPushButton>(d, "BotonOk"));
        EXPECT_EQ(dialogs.LastMessage(), QStringLiteral("\nIntroduce una contraseña válida"));
        EXPECT_EQ(d->focusWidget(), password);
        Type(password, QStringLiteral("nueva"));
        Enter(password);
        return d->result();
    });
    ASSERT_EQ(dialogs.Exec(&form), QDialog::Accepted);
    EXPECT_EQ(form.UserName(), QStringLiteral("Luis"));
    EXPECT_EQ(form.Password(), QStringLiteral("nueva"));
    EXPECT_EQ(dialogs.Messages().size(), 2u);
    EXPECT_EQ(UserPasswordOnDisk("Luis"), "clave"); // the caller applies it
}

} // namespace
} // namespace vexamo

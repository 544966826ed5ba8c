// The question editor through its window: append and edit, validation messages and focus,
// the duplicate warning, keys, and the field limits.

#include "authoring/QuestionEditing.h"
#include "authoring/TFormNuevaPregunta.h"
#include "bank/Catalogue.h"
#include "bank/SubjectFiles.h"
#include "platform/Session.h"
#include "users/UsersFile.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace vexamo::testing {
namespace {

class EditorSession : public Session {
public:
    EditorSession() : catalogue(dir.Path()) {
        if (!catalogue.LoadOrCreate()) ADD_FAILURE() << catalogue.ErrorString();
    }
    Catalogue& GetCatalogue() override { return catalogue; }
    TArchivoVexamousers& Users() override { return users; }
    Dialogs& GetDialogs() override { return dialogs; }
    int CurrentRole() const override { return kRoleAdministrator; }
    QString CurrentUserName() const override { return {}; }
    void RebuildLists() override { ++rebuilds; }

    TempDir dir;
    Catalogue catalogue;
    TArchivoVexamousers users;
    ScriptedDialogs dialogs;
    int rebuilds = 0;
};

struct Fields {
    QString question;
    QString answers[5];
    QString letter;
};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.catalogue.AddSubject("Historia", 0));
        ASSERT_TRUE(session.catalogue.AddSubject("Vacía", 0));
        ASSERT_TRUE(session.catalogue.LoadCatalogue());
        historia = session.catalogue.FindSubject("Historia");
        vacia = session.catalogue.FindSubject("Vacía");
        // Two stored questions, written by the core.
        for (int q = 0; q < 2; ++q) {
            QuestionTexts texts;
            texts.question = "Pregunta " + std::to_string(q);
            texts.answers = {"uno", "dos", "tres", "cuatro", ""};
            texts.letter = "b";
            EditorSubject target{PathsOf(session.catalogue, historia), historia,
                                 static_cast<std::uint32_t>(q), static_cast<std::uint32_t>(q)};
            ASSERT_TRUE(SaveQuestion(target, texts, session.catalogue).ok());
        }
        ASSERT_TRUE(session.catalogue.LoadCatalogue());
    }

    template <typename T = QWidget>
    T* Child(const char* name) const {
        T* child = editor.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void Fill(const Fields& fields) {
        Child<QTextEdit>("Pregunta")->setPlainText(fields.question);
        for (int i = 0; i < 5; ++i)
            Child<QLineEdit>(("Respuesta" + std::to_string(i + 1)).c_str())->setText(fields.answers[i]);
        Child<QLineEdit>("RespuestaCorrecta")->setText(fields.letter);
    }
    void Click(const char* button) { QTest::mouseClick(Child(button), Qt::LeftButton); }
    // The next window run: shown, then `work`, then its result.
    void Expect(std::function<void()> work) {
        session.dialogs.ExpectExec([work](QDialog* dialog) {
            dialog->show();
            work();
            return dialog->result();
        });
    }
    SubjectPaths Paths(int subject) const { return PathsOf(session.catalogue, subject); }
    std::uint32_t CountOnDisk(int subject) const {
        Catalogue copy(session.dir.Path());
        EXPECT_TRUE(copy.LoadCatalogue());
        return copy.subjects[static_cast<std::size_t>(subject)].QuestionCount();
    }

    EditorSession session;
    TFormNuevaPregunta editor{session};
    int historia = 0;
    int vacia = 0;
};

const Fields kValid{QStringLiteral("¿Capital de Francia?"),
                    {QStringLiteral("Roma"), QStringLiteral("París"), QStringLiteral("Lyon"),
                     QStringLiteral("Niza"), QString()},
                    QStringLiteral("b")};

TEST_F(EditorTest, AppendTwoQuestionsThenCloseWritesFilesCountAndRebuilds) {
    Expect([&] {
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("Nueva pregunta"));
        EXPECT_EQ(Child<QLabel>("NombreMateria")->text(), QStringLiteral("Historia"));
        EXPECT_EQ(Child<QLabel>("TotalPreguntasMateria")->text(), QStringLiteral("Total: 2"));
        EXPECT_TRUE(Child("SiguientePregunta")->isVisible());
        EXPECT_TRUE(Child<QTextEdit>("Pregunta")->toPlainText().isEmpty());
        Fill(kValid);
        Click("SiguientePregunta");
        // Saved, cleared for the next one, count one higher.
        EXPECT_TRUE(Child<QTextEdit>("Pregunta")->toPlainText().isEmpty());
        EXPECT_TRUE(Child<QLineEdit>("Respuesta1")->text().isEmpty());
        EXPECT_EQ(Child<QLabel>("TotalPreguntasMateria")->text(), QStringLiteral("Total: 3"));
        Fields five = kValid;
        five.question = QStringLiteral("¿Capital de Italia?");
        five.answers[4] = QStringLiteral("Turín");
        five.letter = QStringLiteral("A");
        Fill(five);
        Click("Ok");
    });
    EXPECT_EQ(editor.AddQuestions(historia), QDialog::Accepted);
    EXPECT_EQ(CountOnDisk(historia), 4u);
    EXPECT_EQ(session.catalogue.subjects[static_cast<std::size_t>(historia)].QuestionCount(), 4u);
    EXPECT_EQ(session.rebuilds, 1);
    EXPECT_EQ(IndexCount(Paths(historia)), 4u);
    const auto third = ReadQuestion(Paths(historia), 2);
    ASSERT_TRUE(third.has_value());
    EXPECT_EQ(third->text, "\xBF" "Capital de Francia?");
    EXPECT_EQ(third->AnswerCount(), 4);
    EXPECT_EQ(third->answers[1], "Par\xEDs");
    EXPECT_EQ(third->key, "b");
    const auto fourth = ReadQuestion(Paths(historia), 3);
    ASSERT_TRUE(fourth.has_value());
    EXPECT_EQ(fourth->AnswerCount(), 5);
    EXPECT_EQ(fourth->key, "A");
    EXPECT_EQ(ReadQuestion(Paths(historia), 0)->text, "Pregunta 0");
}

TEST_F(EditorTest, FirstQuestionOfAnEmptySubjectCreatesItsFiles) {
    Expect([&] {
        EXPECT_EQ(Child<QLabel>("TotalPreguntasMateria")->text(), QStringLiteral("Total: 0"));
        Fill(kValid);
        Click("Ok");
    });
    EXPECT_EQ(editor.AddQuestions(vacia), QDialog::Accepted);
    EXPECT_EQ(CountOnDisk(vacia), 1u);
    EXPECT_EQ(ReadBytes(Paths(vacia).questionFile),
              "\xBF" "Capital de Francia?\r\nRoma\r\nPar\xEDs\r\nLyon\r\nNiza\r\n=b\r\n\r\n");
    EXPECT_TRUE(session.dialogs.Messages().empty()); // no duplicate check on an empty subject
}

TEST_F(EditorTest, ClosingWithoutSavingNeitherReloadsNorRebuilds) {
    Expect([&] {
        Fill(kValid);
        Click("Cancel");
    });
    EXPECT_EQ(editor.AddQuestions(historia), QDialog::Rejected);
    EXPECT_EQ(session.rebuilds, 0);
    EXPECT_EQ(CountOnDisk(historia), 2u);
}

TEST_F(EditorTest, EditShowsTheStoredQuestionAndRewritesOnlyIt) {
    const std::uint32_t flagged = *IndexEntry(Paths(historia), 1);
    MarkAsked(Paths(historia), 1);
    Expect([&] {
        EXPECT_FALSE(Child("SiguientePregunta")->isVisible());
        EXPECT_EQ(Child<QPushButton>("Ok")->text(), QStringLiteral("Introducir pregunta y cerrar"));
        EXPECT_EQ(Child<QTextEdit>("Pregunta")->toPlainText(), QStringLiteral("Pregunta 0"));
        EXPECT_EQ(Child<QLineEdit>("Respuesta4")->text(), QStringLiteral("cuatro"));
        EXPECT_TRUE(Child<QLineEdit>("Respuesta5")->text().isEmpty());
        EXPECT_EQ(Child<QLineEdit>("RespuestaCorrecta")->text(), QStringLiteral("b"));
        EXPECT_EQ(Child<QLabel>("TotalPreguntasMateria")->text(), QStringLiteral("Total: 2"));
        Child<QLineEdit>("Respuesta1")->setText(QStringLiteral("uno y medio"));
        Click("Ok");
    });
    EXPECT_EQ(editor.EditQuestion(historia, 0), QDialog::Accepted);
    const auto edited = ReadQuestion(Paths(historia), 0);
    ASSERT_TRUE(edited.has_value());
    EXPECT_EQ(edited->answers[0], "uno y medio");
    // The later question moved with its asked flag.
    EXPECT_EQ(ReadQuestion(Paths(historia), 1)->text, "Pregunta 1");
    EXPECT_EQ(*IndexEntry(Paths(historia), 1), (flagged + 8) | kAskedFlag);
    EXPECT_EQ(CountOnDisk(historia), 2u);
}

struct ValidationCase {
    const char* name;
    Fields fields;
    bool onlyFour;
    const char* message;
    const char* focus;
};

void PrintTo(const ValidationCase& c, std::ostream* os) { *os << c.name; }

class Validation : public EditorTest, public ::testing::WithParamInterface<ValidationCase> {};

TEST_P(Validation, RefusesWithItsMessageAndFocus) {
    const ValidationCase& c = GetParam();
    Expect([&] {
        if (c.onlyFour) Click("OcultarQuintaAlternativa");
        Fill(c.fields);
        Click("Ok");
        EXPECT_TRUE(editor.isVisible());
        EXPECT_EQ(editor.focusWidget(), Child(c.focus)) << c.name;
        // The content stays.
        EXPECT_EQ(Child<QLineEdit>("RespuestaCorrecta")->text(), c.fields.letter);
        Click("Cancel");
    });
    editor.AddQuestions(historia);
    ASSERT_EQ(session.dialogs.Messages().size(), 1u) << c.name;
    EXPECT_EQ(session.dialogs.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(session.dialogs.LastMessage(), QString::fromUtf8(c.message)) << c.name;
    EXPECT_EQ(CountOnDisk(historia), 2u);
    if (c.onlyFour) Child<QCheckBox>("OcultarQuintaAlternativa")->setChecked(false);
}

Fields With(Fields fields, int field, const char* text) {
    const QString value = QString::fromUtf8(text);
    if (field == 0) fields.question = value;
    else if (field <= 5) fields.answers[field - 1] = value;
    else fields.letter = value;
    return fields;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Validation,
    ::testing::Values(
        ValidationCase{"empty question", With(kValid, 0, ""), false, "\nRellena todos los campos...", "Pregunta"},
        ValidationCase{"line breaks only", With(kValid, 0, "\n\n"), false, "\nRellena todos los campos...", "Pregunta"},
        ValidationCase{"blank answer", With(kValid, 3, "   "), false, "\nRellena todos los campos...", "Respuesta3"},
        ValidationCase{"no letter", With(kValid, 6, ""), false, "\nRellena todos los campos...", "RespuestaCorrecta"},
        ValidationCase{"F", With(kValid, 6, "F"), false, "\nRevisa la solución proporcionada...", "RespuestaCorrecta"},
        ValidationCase{"z", With(kValid, 6, "z"), false, "\nRevisa la solución proporcionada...", "RespuestaCorrecta"},
        ValidationCase{"E with four answers", With(kValid, 6, "E"), true, "\nRevisa la solución proporcionada...", "RespuestaCorrecta"},
        ValidationCase{"E naming an empty answer", With(kValid, 6, "e"), false, "\n¡La solución proporcionada está en blanco!", "Respuesta5"},
        ValidationCase{"digit", With(kValid, 6, "1"), false, "\nComprueba la respuesta correcta...", "RespuestaCorrecta"}));

TEST_F(EditorTest, HiddenFifthAnswerKeepsItsTextAndIsStored) {
    Expect([&] {
        Fields fields = kValid;
        fields.answers[4] = QStringLiteral("Oculta");
        Fill(fields);
        Click("OcultarQuintaAlternativa");
        EXPECT_FALSE(Child("Respuesta5")->isVisible());
        EXPECT_FALSE(Child("LabelRespuesta5")->isVisible());
        EXPECT_EQ(Child<QLineEdit>("Respuesta5")->text(), QStringLiteral("Oculta"));
        Click("Ok");
    });
    editor.AddQuestions(historia);
    Child<QCheckBox>("OcultarQuintaAlternativa")->setChecked(false);
    const auto stored = ReadQuestion(Paths(historia), 2);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->AnswerCount(), 5);
    EXPECT_EQ(stored->answers[4], "Oculta");
}

TEST_F(EditorTest, DuplicateDifferingInCaseWarnsAndEachAnswerActsAsItSays) {
    const Fields copy{QStringLiteral("PREGUNTA 0"),
                      {QStringLiteral("Uno"), QStringLiteral("dos"), QStringLiteral("TRES"),
                       QStringLiteral("cuatro"), QString()},
                      QStringLiteral("b")};
    Expect([&] {
        Fill(copy);
        session.dialogs.ExpectMessage(Cancel);
        Click("SiguientePregunta");
        EXPECT_EQ(Child<QTextEdit>("Pregunta")->toPlainText(), copy.question); // content stays
        session.dialogs.ExpectMessage(No);
        Click("SiguientePregunta");
        EXPECT_TRUE(Child<QTextEdit>("Pregunta")->toPlainText().isEmpty()); // cleared in append mode
        Fill(copy);
        session.dialogs.ExpectMessage(Yes);
        Click("Ok");
    });
    EXPECT_EQ(editor.AddQuestions(historia), QDialog::Accepted);
    ASSERT_EQ(session.dialogs.Messages().size(), 3u);
    EXPECT_EQ(session.dialogs.Messages()[0].kind, MessageKind::Warning);
    EXPECT_EQ(session.dialogs.Messages()[0].buttons, Yes | No | Cancel);
    EXPECT_EQ(session.dialogs.LastMessage(),
              QStringLiteral("Esta pregunta ya existe en la base de datos...\n"
                             "¿Quieres añadirla de todas formas y tenerla repetida?"));
    EXPECT_EQ(CountOnDisk(historia), 3u); // only the Yes saved
}

TEST_F(EditorTest, DuplicateAnsweredNoInEditModeKeepsTheContent) {
    Expect([&] {
        session.dialogs.ExpectMessage(No); // saving unchanged meets itself
        Click("Ok");
        EXPECT_EQ(Child<QTextEdit>("Pregunta")->toPlainText(), QStringLiteral("Pregunta 1"));
        EXPECT_TRUE(editor.isVisible());
        Click("Cancel");
    });
    EXPECT_EQ(editor.EditQuestion(historia, 1), QDialog::Rejected);
}

TEST_F(EditorTest, WithoutTheCheckADuplicateIsSavedSilently) {
    Expect([&] {
        Click("ComprobarRepetida");
        Fill(Fields{QStringLiteral("Pregunta 0"),
                    {QStringLiteral("uno"), QStringLiteral("dos"), QStringLiteral("tres"),
                     QStringLiteral("cuatro"), QString()},
                    QStringLiteral("b")});
        Click("Ok");
    });
    EXPECT_EQ(editor.AddQuestions(historia), QDialog::Accepted);
    EXPECT_TRUE(session.dialogs.Messages().empty());
    EXPECT_EQ(CountOnDisk(historia), 3u);
    Child<QCheckBox>("ComprobarRepetida")->setChecked(true);
}

TEST_F(EditorTest, EnterMovesThroughTheFieldsWithoutBreakingTheQuestion) {
    Expect([&] {
        auto* pregunta = Child<QTextEdit>("Pregunta");
        pregunta->setFocus();
        QTest::keyClicks(pregunta, QStringLiteral("Hola"));
        QTest::keyClick(pregunta, Qt::Key_Return);
        EXPECT_EQ(pregunta->toPlainText(), QStringLiteral("Hola"));
        const char* order[] = {"Respuesta1", "Respuesta2", "Respuesta3", "Respuesta4", "Respuesta5",
                               "RespuestaCorrecta", "SiguientePregunta"};
        for (int i = 0; i + 1 < 7; ++i) {
            EXPECT_EQ(editor.focusWidget(), Child(order[i])) << order[i];
            QTest::keyClick(editor.focusWidget(), Qt::Key_Return);
        }
        EXPECT_EQ(editor.focusWidget(), Child("SiguientePregunta"));
        // With four answers, Enter in d) goes to the letter.
        Click("OcultarQuintaAlternativa");
        Child("Respuesta4")->setFocus();
        QTest::keyClick(Child("Respuesta4"), Qt::Key_Return);
        EXPECT_EQ(editor.focusWidget(), Child("RespuestaCorrecta"));
        Click("OcultarQuintaAlternativa");
        QTest::keyClick(Child("Respuesta2"), Qt::Key_Escape);
        EXPECT_FALSE(editor.isVisible());
    });
    EXPECT_EQ(editor.AddQuestions(historia), QDialog::Rejected);
}

TEST_F(EditorTest, PastedLineBreakBecomesABlankAndFieldsStopAtTheLimit) {
    Expect([&] {
        Fields fields = kValid;
        fields.question = QStringLiteral("Primera línea\nsegunda línea");
        Fill(fields);
        auto* pregunta = Child<QTextEdit>("Pregunta");
        auto* respuesta = Child<QLineEdit>("Respuesta1");
        EXPECT_EQ(respuesta->maxLength(), 1023);
        EXPECT_EQ(Child<QLineEdit>("RespuestaCorrecta")->maxLength(), 1);
        Click("Ok");
        EXPECT_FALSE(editor.isVisible());
        pregunta->setPlainText(QString(1500, QLatin1Char('x')));
        EXPECT_EQ(pregunta->toPlainText().size(), 1023);
    });
    editor.AddQuestions(historia);
    const auto stored = ReadQuestion(Paths(historia), 2);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->text, "Primera l\xEDnea segunda l\xEDnea");
}

} // namespace
} // namespace vexamo::testing

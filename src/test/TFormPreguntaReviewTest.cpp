// The review of the failures: lists, colours, keys, lookups, failure navigation, leaving, and
// editing a reviewed question.

#include "test/TFormPreguntaTestFixture.h"

#include <QFrame>
#include <QSlider>

namespace vexamo::testing {
namespace {

class ReviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        historia = session.AddSubject("Historia", 12);
        ciencias = session.AddSubject("Ciencias", 3, /*fiveAnswers=*/true);
    }

    // Runs a test of Historia's questions 0 .. n-1 with the given answers ('R' right, 'W' wrong,
    // 'B' no answer) and leaves it on the end panel.
    void RunTest(const std::string& answers) {
        std::vector<std::pair<int, int>> questions;
        for (int q = 0; q < static_cast<int>(answers.size()); ++q) questions.emplace_back(historia, q);
        test.SetPlan(questions);
        window.show();
        for (char how : answers) {
            const int right = TestSession::KeyOf(test.QuestionOnScreen(), false);
            if (how == 'R') test.ClickAnswer(right);
            else if (how == 'W') test.ClickAnswer((right + 1) % 4);
            else test.ClickAnswer(0, Qt::RightButton);
        }
        ASSERT_EQ(window.CurrentState(), TFormPregunta::State::Ended);
    }
    QListWidget* List(const char* name) const { return test.Child<QListWidget>(name); }
    QStringList Items(const char* name) const {
        QStringList items;
        for (int i = 0; i < List(name)->count(); ++i) items << List(name)->item(i)->text();
        return items;
    }
    QTabWidget* Tabs() const { return test.Child<QTabWidget>("PageControl"); }
    void ClickEndPanel() { QTest::mouseClick(test.Child("PanelFinTest"), Qt::LeftButton, {}, QPoint(5, 5)); }

    TestSession session;
    TestWindow test{session};
    TFormPregunta& window = test.window;
    int historia = 0;
    int ciencias = 0;
};

TEST_F(ReviewTest, ListsSortEveryPositionAndTheReviewOpensOnMal) {
    RunTest("RWBWRB");
    ClickEndPanel();
    EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Reviewing);
    EXPECT_TRUE(test.Child("PanelRevisar")->isVisible());
    EXPECT_TRUE(test.Child("PanelRestar")->isVisible());
    EXPECT_FALSE(test.Child("PanelFinTest")->isVisible());
    EXPECT_EQ(Items("ListaAciertos"), (QStringList{"1. Historia", "5. Historia"}));
    EXPECT_EQ(Items("ListaFallos"), (QStringList{"2. Historia", "4. Historia"}));
    EXPECT_EQ(Items("ListaBlancos"), (QStringList{"3. Historia", "6. Historia"}));
    EXPECT_EQ(Tabs()->currentIndex(), 1);
    EXPECT_EQ(Tabs()->tabText(1), QStringLiteral("Mal"));
    EXPECT_EQ(window.Position(), 1);
    EXPECT_EQ(test.Text("LabelPregunta"), QStringLiteral("Pregunta 2 de 6"));
    EXPECT_EQ(test.Text("MemoPregunta"), QStringLiteral("Historia 1"));
    EXPECT_EQ(test.Text("Nota1b"), test.Text("Nota1"));
    EXPECT_EQ(test.Text("Nota2b"), test.Text("Nota2"));
    EXPECT_EQ(test.Text("TextoNumFallo"), QStringLiteral("1/4"));
}

TEST_F(ReviewTest, WithoutWrongAnswersTheReviewOpensOnNada) {
    RunTest("RBR");
    ClickEndPanel();
    EXPECT_EQ(Tabs()->currentIndex(), 2);
    EXPECT_EQ(window.Position(), 1);
    EXPECT_EQ(test.Text("RespuestaMal"), QStringLiteral("Nada"));
    EXPECT_EQ(test.Text("RespuestaBien"), QStringLiteral("b)"));
    // The correct answer of a blank question: white, framed, blue text.
    QLabel* correct = test.Answer(1);
    EXPECT_EQ(correct->frameShape(), QFrame::Box);
    EXPECT_EQ(correct->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(correct->palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

TEST_F(ReviewTest, ReviewedQuestionColoursTheGivenAndTheCorrectAnswer) {
    RunTest("RW"); // question 1: key b), answered c)
    ClickEndPanel();
    EXPECT_EQ(test.Text("RespuestaMal"), QStringLiteral("c)"));
    EXPECT_EQ(test.Text("RespuestaBien"), QStringLiteral("b)"));
    QLabel* correct = test.Answer(1);
    QLabel* given = test.Answer(2);
    QLabel* other = test.Answer(0);
    EXPECT_EQ(correct->frameShape(), QFrame::Box);
    EXPECT_EQ(correct->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(correct->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(given->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(given->palette().color(QPalette::Window), QColor(80, 80, 80));
    EXPECT_EQ(given->palette().color(QPalette::WindowText), QColor(192, 192, 192));
    EXPECT_EQ(other->frameShape(), QFrame::NoFrame);
    EXPECT_NE(other->palette().color(QPalette::Window), QColor(80, 80, 80));
    // A right answer in "Bien": the correct box is green.
    Tabs()->setCurrentIndex(0);
    EXPECT_EQ(window.Position(), 0);
    EXPECT_EQ(test.Answer(0)->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(test.Answer(2)->palette().color(QPalette::Window), test.Answer(0 + 2)->palette().color(QPalette::Window));
    // During the review the answer boxes only give the focus back to the list.
    test.ClickAnswer(3);
    EXPECT_EQ(window.Sheet().given[0], 0);
    EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Reviewing);
}

TEST_F(ReviewTest, ListSelectionAndArrowKeysMoveThroughTabsAndQuestions) {
    RunTest("RWBWRB");
    ClickEndPanel();
    QListWidget* fallos = List("ListaFallos");
    fallos->setCurrentRow(1);
    EXPECT_EQ(window.Position(), 3);
    EXPECT_EQ(test.Text("LabelPregunta"), QStringLiteral("Pregunta 4 de 6"));
    QTest::keyClick(fallos, Qt::Key_Right);
    EXPECT_EQ(Tabs()->currentIndex(), 2);
    EXPECT_EQ(window.Position(), 2); // first of "Nada"
    QTest::keyClick(List("ListaBlancos"), Qt::Key_Down);
    EXPECT_EQ(window.Position(), 5);
    QTest::keyClick(List("ListaBlancos"), Qt::Key_Left);
    EXPECT_EQ(Tabs()->currentIndex(), 1);
    EXPECT_EQ(window.Position(), 3); // "Mal" kept its selection
    QTest::keyClick(fallos, Qt::Key_Left);
    EXPECT_EQ(Tabs()->currentIndex(), 0);
    QTest::keyClick(List("ListaAciertos"), Qt::Key_Left); // nothing further left
    EXPECT_EQ(Tabs()->currentIndex(), 0);
}

TEST_F(ReviewTest, PositionLookupsCountInScreenOrder) {
    RunTest("RWBWRB");
    struct Lookup {
        int (TFormPregunta::*nth)(int) const;
        std::vector<int> positions;
    } lookups[] = {
        {&TFormPregunta::NthCorrect, {0, 4}},
        {&TFormPregunta::NthWrong, {1, 3}},
        {&TFormPregunta::NthBlank, {2, 5}},
        {&TFormPregunta::NthFailure, {1, 2, 3, 5}},
    };
    for (const Lookup& lookup : lookups) {
        for (std::size_t k = 0; k < lookup.positions.size(); ++k)
            EXPECT_EQ((window.*lookup.nth)(static_cast<int>(k)), lookup.positions[k]) << k;
        EXPECT_EQ((window.*lookup.nth)(static_cast<int>(lookup.positions.size())), -1);
        EXPECT_EQ((window.*lookup.nth)(-1), -1);
    }
}

TEST_F(ReviewTest, FailureNavigationStepsThroughWrongAndBlankAlike) {
    RunTest("RWBWRB");
    ClickEndPanel();
    EXPECT_TRUE(test.Child("SiguienteFallo")->isEnabled());
    EXPECT_TRUE(test.Child("TrackBar")->isEnabled());
    QTest::mouseClick(test.Child("FalloAnterior"), Qt::LeftButton);
    EXPECT_EQ(session.dialogs.LastMessage(), QStringLiteral("\nEs la primera pregunta que fallaste..."));
    const int expected[] = {2, 3, 5};
    for (int position : expected) {
        QTest::mouseClick(test.Child("SiguienteFallo"), Qt::LeftButton);
        EXPECT_EQ(window.Position(), position);
    }
    EXPECT_EQ(test.Text("TextoNumFallo"), QStringLiteral("4/4"));
    EXPECT_EQ(Tabs()->currentIndex(), 2);
    EXPECT_EQ(List("ListaBlancos")->currentRow(), 1);
    session.dialogs.ClearMessages();
    QTest::mouseClick(test.Child("SiguienteFallo"), Qt::LeftButton);
    EXPECT_EQ(session.dialogs.LastMessage(), QStringLiteral("\nEs la última pregunta que fallaste..."));
    QTest::mouseClick(test.Child("PrimerFallo"), Qt::LeftButton);
    EXPECT_EQ(window.Position(), 1);
    EXPECT_EQ(test.Text("TextoNumFallo"), QStringLiteral("1/4"));
    test.Child<QSlider>("TrackBar")->setValue(2);
    EXPECT_EQ(window.Position(), 3);
    QTest::mouseClick(test.Child("UltimoFallo"), Qt::LeftButton);
    EXPECT_EQ(window.Position(), 5);
    // Choosing a failure in its list moves the slider with it.
    Tabs()->setCurrentIndex(1);
    List("ListaFallos")->setCurrentRow(1);
    EXPECT_EQ(test.Child<QSlider>("TrackBar")->value(), 2);
}

TEST_F(ReviewTest, LeavingTheReviewAsksAndNoKeepsTheWindowOpen) {
    RunTest("RW");
    ClickEndPanel();
    session.dialogs.ExpectMessage(No);
    QTest::mouseClick(test.Child("BotonTerminar"), Qt::LeftButton);
    EXPECT_EQ(session.dialogs.LastMessage(), QStringLiteral("\n¿Seguro que quieres dejar la revisión?"));
    EXPECT_TRUE(window.isVisible());
    session.dialogs.ExpectMessage(Yes);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ReviewTest, TerminarOnTheEndPanelWithFailuresAsksToo) {
    RunTest("W");
    session.dialogs.ExpectMessage(Yes);
    window.BotonTerminarClick();
    EXPECT_EQ(session.dialogs.LastMessage(), QStringLiteral("\n¿Seguro que quieres dejar la revisión?"));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ReviewTest, ReviewExpandsACollapsedWindowAndClosingCollapsesItAgain) {
    window.SetOptionsDown(false);
    RunTest("RW");
    ClickEndPanel();
    EXPECT_TRUE(window.OptionsDown());
    EXPECT_EQ(window.width(), 672);
    session.dialogs.ExpectMessage(Yes);
    window.BotonTerminarClick();
    EXPECT_FALSE(window.OptionsDown());
    EXPECT_EQ(window.width(), 519);
    EXPECT_EQ(test.Child<QPushButton>("BotonOpciones")->text(), QStringLiteral("Opciones  >>"));
}

TEST_F(ReviewTest, ToggleLeftDownByTheUserStaysDownAfterClosing) {
    RunTest("RW");
    ClickEndPanel();
    window.close();
    EXPECT_TRUE(window.OptionsDown());
}

TEST_F(ReviewTest, ModificarIsShownToTheAdministratorOnly) {
    for (int role : {kRoleGuest, 0, kRoleAdministrator}) {
        session.SignInAs(role, role == 0 ? QStringLiteral("ana") : QString());
        RunTest("W");
        ClickEndPanel();
        EXPECT_EQ(test.Child("ModificarPregunta")->isVisible(), role == kRoleAdministrator) << role;
        window.hide();
    }
}

TEST_F(ReviewTest, EditFromTheReviewMovesAQuestionFromMalToBien) {
    session.SignInAs(kRoleAdministrator);
    RunTest("RWB"); // question 1: key b), answered c)
    ClickEndPanel();
    ASSERT_EQ(window.Position(), 1);
    const QString notaBefore = test.Text("Nota1");
    session.dialogs.ExpectExec([](QDialog* dialog) {
        dialog->show();
        EXPECT_FALSE(dialog->findChild<QWidget*>("SiguientePregunta")->isVisible());
        EXPECT_EQ(dialog->findChild<QTextEdit*>("Pregunta")->toPlainText(), QStringLiteral("Historia 1"));
        EXPECT_EQ(dialog->findChild<QLineEdit*>("RespuestaCorrecta")->text(), QStringLiteral("b"));
        dialog->findChild<QLineEdit*>("RespuestaCorrecta")->setText(QStringLiteral("c"));
        QTest::mouseClick(dialog->findChild<QPushButton*>("Ok"), Qt::LeftButton);
        return dialog->result();
    });
    QTest::mouseClick(test.Child("ModificarPregunta"), Qt::LeftButton);
    EXPECT_EQ(Items("ListaAciertos"), (QStringList{"1. Historia", "2. Historia"}));
    EXPECT_TRUE(Items("ListaFallos").isEmpty());
    EXPECT_EQ(window.Sheet().correct[1], 2);
    // The counts and grades shown stay as they were; the tab rule uses the old wrong count.
    EXPECT_EQ(test.Text("NumFallos"), QStringLiteral("1"));
    EXPECT_EQ(test.Text("Nota1"), notaBefore);
    EXPECT_EQ(Tabs()->currentIndex(), 1);
    // The question file holds the new letter.
    const auto stored = ReadQuestion(PathsOf(session.catalogue, historia), 1);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->key, "c");
    EXPECT_EQ(ReadQuestion(PathsOf(session.catalogue, historia), 2)->text, "Historia 2");
}

TEST_F(ReviewTest, EditKeepingTheLetterShowsTheNewTextsInPlace) {
    session.SignInAs(kRoleAdministrator);
    RunTest("RW");
    ClickEndPanel();
    session.dialogs.ExpectExec([](QDialog* dialog) {
        dialog->show();
        dialog->findChild<QTextEdit*>("Pregunta")->setPlainText(QStringLiteral("Historia uno, corregida"));
        QTest::mouseClick(dialog->findChild<QPushButton*>("Ok"), Qt::LeftButton);
        return dialog->result();
    });
    window.ModificarPreguntaClick();
    EXPECT_EQ(test.Text("MemoPregunta"), QStringLiteral("Historia uno, corregida"));
    EXPECT_EQ(Items("ListaFallos"), (QStringList{"2. Historia"}));
    EXPECT_EQ(test.Answer(2)->palette().color(QPalette::Window), QColor(80, 80, 80));
}

TEST_F(ReviewTest, CancelledEditChangesNothing) {
    session.SignInAs(kRoleAdministrator);
    RunTest("RW");
    ClickEndPanel();
    session.dialogs.ExpectExec([](QDialog* dialog) {
        dialog->show();
        dialog->findChild<QLineEdit*>("RespuestaCorrecta")->setText(QStringLiteral("c"));
        QTest::mouseClick(dialog->findChild<QPushButton*>("Cancel"), Qt::LeftButton);
        return dialog->result();
    });
    window.ModificarPreguntaClick();
    EXPECT_EQ(Items("ListaFallos"), (QStringList{"2. Historia"}));
    EXPECT_EQ(ReadQuestion(PathsOf(session.catalogue, historia), 1)->key, "b");
}

} // namespace
} // namespace vexamo::testing

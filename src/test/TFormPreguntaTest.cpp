// The running test and its end: answers by mouse, the countdown, giving up, the close box,
// the end panel's figures and grades and the result in the users file.

#include "test/TFormPreguntaTestFixture.h"

#include <QFrame>
#include <QTimer>

namespace vexamo::testing {
namespace {

class TFormPreguntaTest : public ::testing::Test {
protected:
    void SetUp() override {
        historia = session.AddSubject("Historia", 20);
        ciencias = session.AddSubject("Ciencias", 3, /*fiveAnswers=*/true);
    }

    // A plan of the first n questions of Historia, in order.
    void PlanHistoria(int n) {
        std::vector<std::pair<int, int>> questions;
        for (int q = 0; q < n; ++q) questions.emplace_back(historia, q);
        test.SetPlan(questions);
    }
    int RightAnswer() const { return TestSession::KeyOf(test.QuestionOnScreen(), test.SubjectOnScreen() == ciencias); }
    int WrongAnswer() const { return (RightAnswer() + 1) % 4; }

    // Answers the question on screen: 'R' right, 'W' wrong (left clicks), 'B' right click on an
    // answer box, 'S' right click on the statement, 'G' right click on the background.
    void Answer(char how) {
        switch (how) {
        case 'R': test.ClickAnswer(RightAnswer()); break;
        case 'W': test.ClickAnswer(WrongAnswer()); break;
        case 'B': test.ClickAnswer(0, Qt::RightButton); break;
        case 'S': QTest::mouseClick(test.Child("MemoPregunta"), Qt::RightButton); break;
        default: test.RightClickBackground(); break;
        }
    }

    TestSession session;
    TestWindow test{session};
    TFormPregunta& window = test.window;
    int historia = 0;
    int ciencias = 0;
};

TEST_F(TFormPreguntaTest, OpeningShowsTheFirstQuestionWithItsSubjectAndFourAnswers) {
    PlanHistoria(3);
    window.show();
    EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Running);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Test"));
    EXPECT_EQ(window.Position(), 0);
    EXPECT_EQ(test.Text("LabelPregunta"), QStringLiteral("Pregunta 1 de 3"));
    EXPECT_EQ(test.Text("LabelMateria"), QStringLiteral("Historia"));
    EXPECT_EQ(test.Text("MemoPregunta"), QStringLiteral("Historia 0"));
    EXPECT_EQ(test.Answer(1)->text(), QStringLiteral("Historia 0 b"));
    EXPECT_TRUE(test.Answer(3)->isVisible());
    EXPECT_FALSE(test.Answer(4)->isVisible());
    EXPECT_FALSE(test.Child("Letra5")->isVisible());
    EXPECT_EQ(test.Answer(0)->font().family(), QStringLiteral("Comic Sans MS"));
    for (const char* name : {"MemoPregunta", "Respuesta1", "Respuesta5", "LabelMateria"})
        EXPECT_EQ(test.Child<QLabel>(name)->textFormat(), Qt::PlainText) << name;
    EXPECT_EQ(test.Answer(0)->font().pointSize(), 12);
    // One-line texts at 12 points: 23-pixel lines, the rows one under the other.
    EXPECT_EQ(test.Child("MemoPregunta")->height(), 23 + 8);
    EXPECT_EQ(test.Answer(0)->height(), 23 + 6);
    EXPECT_EQ(test.Answer(1)->y(), test.Answer(0)->y() + test.Answer(0)->height());
    // Nothing is recorded for the question on screen until it is answered.
    EXPECT_EQ(window.Sheet().given[0], kNoAnswer);
    EXPECT_EQ(window.Sheet().correct[0], 0);
    EXPECT_EQ(window.Sheet().correct[1], kNoAnswer);
}

TEST_F(TFormPreguntaTest, ClickOnAHiddenFifthAnswerOrALeftClickOnTheStatementDoesNothing) {
    PlanHistoria(2);
    window.show();
    test.ClickAnswer(4);
    QTest::mouseClick(test.Child("MemoPregunta"), Qt::LeftButton);
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(8, 300));
    EXPECT_EQ(window.Position(), 0);
    EXPECT_EQ(window.Sheet().given[0], kNoAnswer);
}

TEST_F(TFormPreguntaTest, FiveAnswerQuestionShowsTheFifthRowAndTakesItsAnswer) {
    test.SetPlan({{ciencias, 0}, {ciencias, 1}});
    window.show();
    EXPECT_TRUE(test.Answer(4)->isVisible());
    EXPECT_TRUE(test.Child("Letra5")->isVisible());
    EXPECT_EQ(test.Answer(4)->text(), QStringLiteral("Ciencias 0 e"));
    test.ClickAnswer(4); // question 0's key is e)
    EXPECT_EQ(window.Sheet().given[0], 4);
    EXPECT_EQ(window.Sheet().correct[0], 4);
    EXPECT_EQ(window.Position(), 1);
    EXPECT_EQ(test.Text("LabelMateria"), QStringLiteral("Ciencias"));
}

TEST_F(TFormPreguntaTest, DamagedOrMissingQuestionOffersOnlyTheAnswersItHas) {
    // A record with three answers, written by hand, and a question number the index lacks.
    ASSERT_TRUE(session.catalogue.AddSubject("Rota", 0));
    const int rota = session.catalogue.FindSubject("Rota");
    WriteBytes(session.catalogue.QuestionFile(rota), "Corta\r\nuno\r\ndos\r\ntres\r\n=b\r\n\r\n");
    ASSERT_TRUE(RebuildIndex(session.catalogue, rota));
    ASSERT_TRUE(session.catalogue.LoadCatalogue());
    test.SetPlan({{rota, 0}, {rota, 5}, {historia, 0}});
    window.show();
    EXPECT_TRUE(test.Answer(2)->isVisible());
    EXPECT_FALSE(test.Answer(3)->isVisible());
    test.ClickAnswer(3); // no such answer: nothing happens
    EXPECT_EQ(window.Position(), 0);
    test.ClickAnswer(1);
    ASSERT_EQ(window.Position(), 1);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(test.Answer(i)->isVisible()) << i;
    test.ClickAnswer(0);
    EXPECT_EQ(window.Position(), 1);
    test.RightClickBackground();
    Answer('R');
    EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Ended);
    EXPECT_EQ(window.Counts().presented, 3);
    EXPECT_EQ(test.Text("NumAciertos"), QStringLiteral("2"));
    EXPECT_EQ(test.Text("NumBlancos"), QStringLiteral("1"));
}

struct WholeTestCase {
    const char* answers; // one letter per question, see Answer()
    const char* right;
    const char* wrong;
    const char* blank;
    const char* nota1;
    const char* nota2;
    const char* after; // LabelRevisarSalir
};

void PrintTo(const WholeTestCase& c, std::ostream* os) { *os << "answers " << c.answers; }

class WholeTest : public TFormPreguntaTest, public ::testing::WithParamInterface<WholeTestCase> {};

TEST_P(WholeTest, EndPanelShowsTheCountsAndGrades) {
    const WholeTestCase& c = GetParam();
    const int n = static_cast<int>(std::strlen(c.answers));
    PlanHistoria(n);
    window.show();
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(window.CurrentState(), TFormPregunta::State::Running) << i;
        ASSERT_EQ(window.Position(), i);
        Answer(c.answers[i]);
    }
    EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Ended);
    EXPECT_TRUE(test.Child("PanelFinTest")->isVisible());
    EXPECT_TRUE(test.Child("PanelRestar")->isVisible());
    EXPECT_FALSE(test.Child("PanelProgresar")->isVisible());
    EXPECT_EQ(test.Text("NumPreguntas"), QString::number(n));
    EXPECT_EQ(test.Text("NumAciertos"), QString::fromLatin1(c.right));
    EXPECT_EQ(test.Text("NumFallos"), QString::fromLatin1(c.wrong));
    EXPECT_EQ(test.Text("NumBlancos"), QString::fromLatin1(c.blank));
    EXPECT_EQ(test.Text("Nota1"), QString::fromUtf8(c.nota1));
    EXPECT_EQ(test.Text("Nota2"), QString::fromUtf8(c.nota2));
    EXPECT_EQ(test.Text("LabelRevisarSalir"), QString::fromUtf8(c.after));
    EXPECT_EQ(test.Child("ImagenPerfecto")->isVisible(), std::string(c.wrong) == "0" && std::string(c.blank) == "0");
    EXPECT_EQ(window.Counts().presented, n);
}

INSTANTIATE_TEST_SUITE_P(
    Tests, WholeTest,
    ::testing::Values(
        // Penalty on, divisor 3: 1 right and 7 wrong give -1,33 and -1,66.
        WholeTestCase{"RWWWWWWW", "1", "7", "0", "-1,33", "-1,66", "revisar los fallos"},
        WholeTestCase{"RRRR", "4", "0", "0", "4,00", "10,00", "volver al menú principal"},
        WholeTestCase{"RWBGRR", "3", "1", "2", "2,66", "4,44", "revisar los fallos"},
        WholeTestCase{"SRR", "2", "0", "1", "2,00", "6,66", "revisar los fallos"},
        WholeTestCase{"R", "1", "0", "0", "1,00", "10,00", "volver al menú principal"},
        WholeTestCase{"W", "0", "1", "0", "-0,33", "-3,33", "revisar los fallos"},
        WholeTestCase{"G", "0", "0", "1", "0,00", "0,00", "revisar los fallos"}));

TEST_F(TFormPreguntaTest, ClockCountsDownAndEndsTheTestAtTheTickAfterZero) {
    PlanHistoria(5);
    window.SetTimeLimit(true, QStringLiteral("10"));
    window.show();
    auto* reloj = test.Child<QLabel>("Reloj");
    auto* bar = test.Child("ProgresoTiempo");
    EXPECT_TRUE(test.Child("PanelReloj")->isVisible());
    EXPECT_TRUE(window.ClockRunning());
    EXPECT_EQ(reloj->text(), QStringLiteral("10:00"));
    window.TimerTimer();
    EXPECT_EQ(reloj->text(), QStringLiteral("9:59"));
    Answer('R');
    for (int tick = 1; tick < 599; ++tick) window.TimerTimer();
    EXPECT_EQ(reloj->text(), QStringLiteral("0:01"));
    window.TimerTimer();
    EXPECT_EQ(reloj->text(), QStringLiteral("0:00"));
    EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Running);
    EXPECT_LE(bar->width(), TFormPregunta::kBarWidth);
    EXPECT_GE(bar->width(), TFormPregunta::kBarWidth - 1);
    window.TimerTimer();
    EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Ended);
    EXPECT_FALSE(window.ClockRunning());
    // The question on screen at time-out and those never reached count as blank.
    EXPECT_EQ(test.Text("NumAciertos"), QStringLiteral("1"));
    EXPECT_EQ(test.Text("NumBlancos"), QStringLiteral("4"));
    EXPECT_EQ(window.Counts().presented, 2);
}

struct MinutesCase {
    const char* minutes;
    const char* shown;
    const char* afterTick; // empty: the first tick ends the test
};

void PrintTo(const MinutesCase& c, std::ostream* os) { *os << "minutes \"" << c.minutes << '"'; }

class MinutesText : public TFormPreguntaTest, public ::testing::WithParamInterface<MinutesCase> {};

TEST_P(MinutesText, DisplayStartsFromTheTextAsTyped) {
    PlanHistoria(3);
    window.SetTimeLimit(true, QString::fromLatin1(GetParam().minutes));
    window.show();
    EXPECT_EQ(test.Text("Reloj"), QString::fromLatin1(GetParam().shown));
    window.TimerTimer();
    const QString after = QString::fromLatin1(GetParam().afterTick);
    if (after.isEmpty()) {
        EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Ended);
    } else {
        EXPECT_EQ(test.Text("Reloj"), after);
        EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Running);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, MinutesText,
                         ::testing::Values(MinutesCase{"05", "05:00", "4:59"},
                                           MinutesCase{"1", "1:00", "0:59"},
                                           MinutesCase{"0", "0:00", ""},
                                           MinutesCase{"", ":00", ""}));

TEST_F(TFormPreguntaTest, WithoutTimeLimitTheClockPanelIsHiddenAndNothingTicks) {
    PlanHistoria(2);
    window.SetTimeLimit(false, QStringLiteral("10"));
    window.show();
    EXPECT_FALSE(test.Child("PanelReloj")->isVisible());
    EXPECT_FALSE(window.ClockRunning());
}

TEST_F(TFormPreguntaTest, PauseStopsOnlyTheClockAndTerminarThenNoRunsItAgain) {
    PlanHistoria(3);
    window.SetTimeLimit(true, QStringLiteral("5"));
    window.show();
    QTest::mouseClick(test.Child("Pause"), Qt::LeftButton);
    EXPECT_FALSE(window.ClockRunning());
    EXPECT_TRUE(test.Child("Play")->isEnabled());
    EXPECT_FALSE(test.Child("Pause")->isEnabled());
    Answer('R'); // answers are taken while paused
    EXPECT_EQ(window.Position(), 1);
    session.dialogs.ExpectMessage(No);
    QTest::mouseClick(test.Child("BotonTerminar"), Qt::LeftButton);
    EXPECT_EQ(session.dialogs.LastMessage(), QStringLiteral("\n¿Seguro que quieres dejar el test?"));
    EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Running);
    EXPECT_TRUE(window.ClockRunning());
    EXPECT_FALSE(test.Child("Play")->isEnabled());
    EXPECT_TRUE(test.Child("Pause")->isEnabled());
}

TEST_F(TFormPreguntaTest, GivingUpOnQuestionFiveOfTwentyRecordsTheResultOfANamedUser) {
    session.SignInAs(0, QStringLiteral("ana"));
    PlanHistoria(20);
    window.show();
    for (char how : std::string("RWRR")) Answer(how);
    ASSERT_EQ(window.Position(), 4);
    session.dialogs.ExpectMessage(Yes);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Ended);
    EXPECT_EQ(test.Text("NumPreguntas"), QStringLiteral("20"));
    EXPECT_EQ(test.Text("NumAciertos"), QStringLiteral("3"));
    EXPECT_EQ(test.Text("NumFallos"), QStringLiteral("1"));
    EXPECT_EQ(test.Text("NumBlancos"), QStringLiteral("16"));
    // Read back from the file itself, through a second object.
    TArchivoVexamousers reread;
    reread.OpenUsersFile(session.dir / kUsersFileName);
    const std::vector<HistoryEntry> history = reread.ReadHistory("ana");
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0], (HistoryEntry{5, 3, 1}));
}

TEST_F(TFormPreguntaTest, EndPanelShowsEvenWhenTheResultCannotBeRecorded) {
    session.SignInAs(0, QStringLiteral("ana"));
    session.users = TArchivoVexamousers(); // no file behind it: recording throws
    PlanHistoria(1);
    window.show();
    Answer('R');
    EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Ended);
    EXPECT_TRUE(test.Child("PanelFinTest")->isVisible());
    EXPECT_EQ(test.Text("NumAciertos"), QStringLiteral("1"));
    ASSERT_EQ(session.dialogs.Messages().size(), 1u);
    EXPECT_EQ(session.dialogs.Messages()[0].kind, MessageKind::Error);
    EXPECT_FALSE(session.dialogs.LastMessage().trimmed().isEmpty());
}

TEST_F(TFormPreguntaTest, OnlyANamedUserGetsAResult) {
    for (int role : {kRoleGuest, kRoleAdministrator}) {
        session.SignInAs(role, QStringLiteral("ana"));
        PlanHistoria(2);
        window.show();
        Answer('R');
        Answer('W');
        EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Ended) << role;
        window.hide();
    }
    EXPECT_TRUE(session.users.ReadHistory("ana").empty());
}

TEST_F(TFormPreguntaTest, AltKeyAsksToGiveUpAndNoKeepsTheTestWithoutAClock) {
    PlanHistoria(3);
    window.show();
    session.dialogs.ExpectMessage(No);
    QTest::keyClick(&window, Qt::Key_Alt);
    EXPECT_EQ(session.dialogs.LastMessage(), QStringLiteral("\n¿Seguro que quieres dejar el test?"));
    EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Running);
    EXPECT_FALSE(window.ClockRunning());
}

TEST_F(TFormPreguntaTest, NoRepeatFlagsEveryQuestionPutOnScreenAndNothingElse) {
    const SubjectPaths paths = PathsOf(session.catalogue, historia);
    test.SetPlan({{historia, 7}, {historia, 2}, {historia, 9}});
    window.SetNoRepeat(true);
    window.show();
    EXPECT_TRUE(IsAsked(paths, 7));
    EXPECT_FALSE(IsAsked(paths, 2));
    Answer('B');
    // Shown, then left by giving up without an answer: flagged all the same.
    EXPECT_TRUE(IsAsked(paths, 2));
    session.dialogs.ExpectMessage(Yes);
    window.BotonTerminarClick();
    EXPECT_FALSE(IsAsked(paths, 9));
    for (std::uint32_t q : {0u, 1u, 3u, 19u}) EXPECT_FALSE(IsAsked(paths, q)) << q;
}

TEST_F(TFormPreguntaTest, WithoutNoRepeatNothingIsFlagged) {
    PlanHistoria(2);
    window.SetNoRepeat(false);
    window.show();
    Answer('R');
    EXPECT_FALSE(IsAsked(PathsOf(session.catalogue, historia), 0));
    EXPECT_FALSE(IsAsked(PathsOf(session.catalogue, historia), 1));
}

TEST_F(TFormPreguntaTest, CloseBoxAbandonsTheTestAndRecordsNothing) {
    session.SignInAs(0, QStringLiteral("ana"));
    PlanHistoria(4);
    window.SetTimeLimit(true, QStringLiteral("10"));
    window.show();
    Answer('R');
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.ClockRunning());
    EXPECT_EQ(window.CurrentState(), TFormPregunta::State::Closed);
    window.TimerTimer();
    EXPECT_TRUE(session.users.ReadHistory("ana").empty());
    EXPECT_TRUE(session.dialogs.Messages().empty());
}

TEST_F(TFormPreguntaTest, PerfectTestClosesFromTheEndPanelWithoutReview) {
    PlanHistoria(2);
    window.show();
    Answer('R');
    Answer('R');
    EXPECT_TRUE(test.Child("ImagenPerfecto")->isVisible());
    QTest::mouseClick(test.Child("LabelRevisarSalir"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_NE(window.CurrentState(), TFormPregunta::State::Reviewing);
    EXPECT_TRUE(session.dialogs.Messages().empty());
}

TEST_F(TFormPreguntaTest, TerminarAfterAPerfectTestClosesWithoutAQuestion) {
    PlanHistoria(1);
    window.show();
    Answer('R');
    QTest::mouseClick(test.Child("BotonTerminar"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(session.dialogs.Messages().empty());
}

TEST_F(TFormPreguntaTest, PenaltyChangesRecomputeBothGradePairs) {
    PlanHistoria(8);
    window.show();
    for (char how : std::string("RWWWWWWW")) Answer(how);
    ASSERT_EQ(test.Text("Nota1"), QStringLiteral("-1,33"));
    QTest::mouseClick(test.Child("Restar"), Qt::LeftButton); // off: the net score is the right count
    EXPECT_EQ(test.Text("Nota1"), QStringLiteral("1,00"));
    EXPECT_EQ(test.Text("Nota2"), QStringLiteral("1,25"));
    EXPECT_EQ(test.Text("Nota1b"), QStringLiteral("1,00"));
    EXPECT_EQ(test.Text("Nota2b"), QStringLiteral("1,25"));
    QTest::mouseClick(test.Child("Restar"), Qt::LeftButton);
    auto* divisor = test.Child<QLineEdit>("NumPreguntasRestar");
    divisor->setText(QStringLiteral("1")); // 1 - 7 = -6 over 8 questions
    EXPECT_EQ(test.Text("Nota1"), QStringLiteral("-6,00"));
    EXPECT_EQ(test.Text("Nota2"), QStringLiteral("-7,50"));
    EXPECT_EQ(test.Text("Nota2b"), QStringLiteral("-7,50"));
    // A divisor that is no whole number above 0: an error, the grades stay.
    divisor->setText(QStringLiteral("0"));
    ASSERT_EQ(session.dialogs.Messages().size(), 1u);
    EXPECT_EQ(session.dialogs.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(test.Text("Nota1"), QStringLiteral("-6,00"));
    divisor->setText(QStringLiteral("3"));
}

TEST_F(TFormPreguntaTest, DivisorFieldTakesOneTypedCharacterAndItsArrowsReachHundred) {
    auto* divisor = test.Child<QLineEdit>("NumPreguntasRestar");
    divisor->setText(QStringLiteral("3"));
    divisor->setFocus();
    divisor->end(false);
    QTest::keyClick(divisor, Qt::Key_7);
    EXPECT_EQ(divisor->text(), QStringLiteral("3"));
    divisor->setText(QStringLiteral("99"));
    QTest::mouseClick(test.Child("NumPreguntasRestarUp"), Qt::LeftButton);
    QTest::mouseClick(test.Child("NumPreguntasRestarUp"), Qt::LeftButton);
    EXPECT_EQ(divisor->text(), QStringLiteral("100"));
    divisor->setText(QStringLiteral("1"));
    QTest::mouseClick(test.Child("NumPreguntasRestarDown"), Qt::LeftButton);
    EXPECT_EQ(divisor->text(), QStringLiteral("1"));
}

TEST_F(TFormPreguntaTest, HoverHighlightsOneAnswerAtATime) {
    PlanHistoria(2);
    window.show();
    QLabel* a = test.Answer(0);
    QLabel* b = test.Answer(1);
    const QRect normal = a->geometry();
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QApplication::sendEvent(a, &enter);
    EXPECT_EQ(a->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(a->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(a->frameShape(), QFrame::Box);
    EXPECT_EQ(a->geometry().left(), normal.left() - 2);
    EXPECT_EQ(a->geometry().top(), normal.top() - 2);
    EXPECT_EQ(a->geometry().right(), normal.right() + 2);
    QApplication::sendEvent(b, &enter);
    EXPECT_EQ(a->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(a->geometry(), normal);
    EXPECT_EQ(b->frameShape(), QFrame::Box);
    // Alternating backgrounds: a) button face, b) light 3-D.
    EXPECT_NE(a->palette().color(QPalette::Window), QColor(Qt::white));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    EXPECT_EQ(b->frameShape(), QFrame::NoFrame);
    EXPECT_NE(a->palette().color(QPalette::Window), b->palette().color(QPalette::Window));
}

TEST_F(TFormPreguntaTest, ProgressBarGrowsPerAnswerAndVerProgresoHidesTheStrip) {
    PlanHistoria(4);
    window.show();
    auto* bar = test.Child("ProgresoTest");
    EXPECT_EQ(bar->width(), 0);
    Answer('R');
    EXPECT_EQ(bar->width(), 67); // 270 / 4 = 67.5, truncated
    Answer('G');
    EXPECT_EQ(bar->width(), 135);
    QTest::mouseClick(test.Child("VerProgreso"), Qt::LeftButton);
    EXPECT_FALSE(test.Child("ShapeProgreso")->isVisible());
    EXPECT_FALSE(test.Child("LabelTest")->isVisible());
    EXPECT_FALSE(test.Child("LabelTiempo")->isVisible());
    QTest::mouseClick(test.Child("VerProgreso"), Qt::LeftButton);
    EXPECT_TRUE(test.Child("ShapeProgreso")->isVisible());
}

TEST_F(TFormPreguntaTest, OptionsToggleSwitchesWidthAndCaption) {
    auto* button = test.Child<QPushButton>("BotonOpciones");
    EXPECT_EQ(button->text(), QStringLiteral("Opciones  <<"));
    EXPECT_EQ(window.width(), 672);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->text(), QStringLiteral("Opciones  >>"));
    EXPECT_EQ(window.width(), 519);
    EXPECT_FALSE(window.OptionsDown());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(window.width(), 672);
}

TEST_F(TFormPreguntaTest, LongStatementWrapsAndPushesTheAnswersDown) {
    QuestionTexts texts;
    for (int i = 0; i < 40; ++i) texts.question += "palabra ";
    texts.answers = {"uno", "dos", "tres", "cuatro", ""};
    texts.letter = "a";
    EditorSubject target{PathsOf(session.catalogue, historia), historia, 20, 20};
    ASSERT_TRUE(SaveQuestion(target, texts, session.catalogue).ok());
    ASSERT_TRUE(session.catalogue.LoadCatalogue());
    test.SetPlan({{historia, 20}});
    window.show();
    QWidget* memo = test.Child("MemoPregunta");
    const int lines = (memo->height() - 8) / 23;
    EXPECT_GE(lines, 2);
    EXPECT_EQ(memo->height(), lines * 23 + 8);
    // The first row begins 18 pixels below the last line, 3 higher at 12 points.
    EXPECT_EQ(test.Answer(0)->y(), memo->y() + lines * 23 + 18 - 3);
}

TEST_F(TFormPreguntaTest, SmallFontLaysTheRowsOutAtFifteenPixelLines) {
    window.SetFontSize(8);
    PlanHistoria(2);
    window.show();
    EXPECT_EQ(test.Answer(0)->font().pointSize(), 8);
    EXPECT_EQ(test.Child("MemoPregunta")->font().pointSize(), 8);
    EXPECT_TRUE(test.Child("MemoPregunta")->font().italic());
    EXPECT_EQ(test.Child("MemoPregunta")->height(), 15 + 8);
    EXPECT_EQ(test.Answer(0)->height(), 15 + 6);
    EXPECT_EQ(test.Answer(1)->y(), test.Answer(0)->y() + test.Answer(0)->height());
}

} // namespace
} // namespace vexamo::testing

// The test options: key filtering and arrows of the number fields, the topic options' enabling,
// and StartTest from the lists panel to the test window, with its messages.

#include "bank/SubjectListsPanel.h"
#include "test/TestOptionsPanel.h"
#include "test/TFormPreguntaTestFixture.h"

#include <QRadioButton>
#include <QTableWidget>

#include <algorithm>

namespace vexamo::testing {
namespace {

class TestOptionsPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        historia = session.AddSubject("Historia", 12);
        ciencias = session.AddSubject("Ciencias", 3, /*fiveAnswers=*/true);
        vacia = session.AddSubject("Vacía", 0);
        lists.AttachCompanions(options.CheckerNumPreguntas(), nullptr, nullptr);
        lists.SetTopicOptions(options.TopicOptions());
        options.SetSeedSource([] { return 1234u; });
    }

    void Include(int subject, int count) {
        ASSERT_TRUE(session.catalogue.SetSubjectInExam(count, subject, 0));
        ASSERT_TRUE(session.catalogue.LoadCatalogue());
    }
    void ShowLists() {
        lists.FillExamList();
        lists.RebuildLists();
    }
    template <typename T = QWidget>
    T* Child(const char* name) const {
        T* child = options.findChild<T*>(QString::fromLatin1(name));
        if (!child) child = lists.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    // Specific mode with the subject's row of "Materias disponibles" current.
    void ChooseSpecific(int subject) {
        Child<QRadioButton>("TestEspecifico")->click();
        auto* out = Child<QTableWidget>("ListaMateriasOut");
        out->setCurrentCell(subject, 0);
        ASSERT_EQ(lists.CurrentAvailableSubject(), subject);
    }
    // The test window's run: shown, looked at by `check`, then closed with its close box.
    void ExpectTestWindow(std::function<void(TFormPregunta&)> check) {
        session.dialogs.ExpectExec([this, check](QDialog* dialog) {
            dialog->show();
            check(test.window);
            dialog->close();
            return dialog->result();
        });
    }

    TestSession session;
    TestWindow test{session};
    SubjectListsPanel lists{session};
    TestOptionsPanel options{session, lists, test.window};
    int historia = 0;
    int ciencias = 0;
    int vacia = 0;
};

TEST_F(TestOptionsPanelTest, ControlsStartWithTheirDefaults) {
    EXPECT_EQ(Child<QLineEdit>("NumPreguntas")->text(), QStringLiteral("20"));
    EXPECT_EQ(Child<QLineEdit>("NumTiempo")->text(), QStringLiteral("10"));
    EXPECT_TRUE(Child<QCheckBox>("CheckInclResp")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>("TamanoFuente12")->isChecked());
    for (const char* name : {"CheckerNumPreguntas", "CheckerTiempo", "CheckerAgruparPreguntas",
                             "CheckerNoRepetir", "CheckTemas", "CheckMayMin"})
        EXPECT_FALSE(Child<QCheckBox>(name)->isChecked()) << name;
    EXPECT_EQ(Child<QCheckBox>("CheckerTiempo")->text(),
              QStringLiteral("Límite de tiempo:                 minutos"));
    EXPECT_EQ(options.CheckerNumPreguntas()->objectName(), QStringLiteral("CheckerNumPreguntas"));
}

struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool accepted;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << "key " << c.key << (c.modifiers ? " with modifiers" : "");
}

class NumberKeys : public TestOptionsPanelTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(NumberKeys, NumberFieldsTakeOnlyDigitsAndEditingKeys) {
    for (const char* name : {"NumPreguntas", "NumTiempo"}) {
        auto* field = Child<QLineEdit>(name);
        field->setText(QStringLiteral("1"));
        field->setCursorPosition(1);
        QTest::keyClick(field, GetParam().key, GetParam().modifiers);
        const bool changed = field->text() != QStringLiteral("1") || field->cursorPosition() != 1;
        EXPECT_EQ(changed, GetParam().accepted) << name << " " << field->text().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, NumberKeys,
    ::testing::Values(KeyCase{Qt::Key_5, Qt::NoModifier, true},
                      KeyCase{Qt::Key_0, Qt::KeypadModifier, true},
                      KeyCase{Qt::Key_Backspace, Qt::NoModifier, true},
                      KeyCase{Qt::Key_Home, Qt::NoModifier, true},
                      KeyCase{Qt::Key_Left, Qt::NoModifier, true},
                      KeyCase{Qt::Key_A, Qt::NoModifier, false},
                      KeyCase{Qt::Key_Minus, Qt::NoModifier, false},
                      KeyCase{Qt::Key_Space, Qt::NoModifier, false},
                      KeyCase{Qt::Key_Period, Qt::NoModifier, false},
                      KeyCase{Qt::Key_V, Qt::ControlModifier, false}));

TEST_F(TestOptionsPanelTest, NumberFieldsKeepTheirTypedLength) {
    auto* number = Child<QLineEdit>("NumPreguntas");
    number->setText(QStringLiteral("123"));
    number->setCursorPosition(3);
    QTest::keyClick(number, Qt::Key_4);
    EXPECT_EQ(number->text(), QStringLiteral("123"));
    auto* minutes = Child<QLineEdit>("NumTiempo");
    minutes->setText(QStringLiteral("12"));
    minutes->setCursorPosition(2);
    QTest::keyClick(minutes, Qt::Key_4);
    EXPECT_EQ(minutes->text(), QStringLiteral("12"));
}

TEST_F(TestOptionsPanelTest, PastedTextThatIsNoNumberIsRefused) {
    auto* number = Child<QLineEdit>("NumPreguntas");
    number->clear();
    number->insert(QStringLiteral("2a"));
    EXPECT_TRUE(number->text().isEmpty());
    number->insert(QStringLiteral("35"));
    EXPECT_EQ(number->text(), QStringLiteral("35"));
}

TEST_F(TestOptionsPanelTest, ArrowsStepByFiveWithinTheirLimits) {
    struct {
        const char* field;
        const char* start;
        const char* button;
        int clicks;
        const char* expected;
    } cases[] = {
        {"NumPreguntas", "20", "NumPreguntasUp", 1, "25"},
        {"NumPreguntas", "135", "NumPreguntasUp", 3, "140"},
        {"NumPreguntas", "10", "NumPreguntasDown", 4, "5"},
        {"NumTiempo", "85", "NumTiempoUp", 2, "90"},
        {"NumTiempo", "10", "NumTiempoDown", 1, "5"},
    };
    for (const auto& c : cases) {
        Child<QLineEdit>(c.field)->setText(QString::fromLatin1(c.start));
        for (int i = 0; i < c.clicks; ++i) QTest::mouseClick(Child(c.button), Qt::LeftButton);
        EXPECT_EQ(Child<QLineEdit>(c.field)->text(), QString::fromLatin1(c.expected)) << c.button;
    }
}

TEST_F(TestOptionsPanelTest, TopicOptionsAreEnabledExactlyWhileCheckTemasIsOn) {
    for (const char* name : {"EditTemas", "CheckInclResp", "CheckMayMin"})
        EXPECT_FALSE(Child(name)->isEnabled()) << name;
    Child<QCheckBox>("CheckTemas")->click();
    for (const char* name : {"EditTemas", "CheckInclResp", "CheckMayMin"})
        EXPECT_TRUE(Child(name)->isEnabled()) << name;
    Child<QCheckBox>("CheckTemas")->click();
    EXPECT_FALSE(Child("EditTemas")->isEnabled());
}

TEST_F(TestOptionsPanelTest, FontSizeAndNoRepeatReachTheTestWindowAtOnce) {
    Child<QRadioButton>("TamanoFuente8")->click();
    EXPECT_EQ(test.window.FontSize(), 8);
    Child<QRadioButton>("TamanoFuente12")->click();
    EXPECT_EQ(test.window.FontSize(), 12);
}

TEST_F(TestOptionsPanelTest, GeneralTestWithoutSubjectsWarnsAndOpensNothing) {
    ShowLists();
    options.StartTest();
    ASSERT_EQ(session.dialogs.Messages().size(), 1u);
    EXPECT_EQ(session.dialogs.Messages()[0].kind, MessageKind::Warning);
    EXPECT_EQ(session.dialogs.LastMessage(), QStringLiteral("\nNo has seleccionado ninguna materia..."));
}

TEST_F(TestOptionsPanelTest, GeneralTestWhoseCountsAddUpToZeroWarns) {
    Include(historia, 0);
    ShowLists();
    options.StartTest();
    EXPECT_EQ(session.dialogs.LastMessage(),
              QStringLiteral("\nNo has seleccionado preguntas de ninguna materia..."));
    EXPECT_FALSE(test.window.ClockRunning());
}

TEST_F(TestOptionsPanelTest, GeneralTestRunsTheExamRowsWithTheTimeLimit) {
    Include(historia, 4);
    Include(ciencias, 2);
    ShowLists();
    Child<QCheckBox>("CheckerTiempo")->click();
    Child<QLineEdit>("NumTiempo")->setText(QStringLiteral("15"));
    Child<QCheckBox>("CheckerAgruparPreguntas")->click();
    ExpectTestWindow([&](TFormPregunta& window) {
        EXPECT_EQ(window.Length(), 6);
        EXPECT_EQ(window.findChild<QLabel*>("Reloj")->text(), QStringLiteral("15:00"));
        EXPECT_TRUE(window.findChild<QWidget*>("PanelReloj")->isVisible());
        EXPECT_TRUE(window.ClockRunning());
        // Grouped: Historia's four questions come first.
        for (int p = 0; p < 6; ++p)
            EXPECT_EQ(window.Plan().AtPosition(p).subjectNumber, p < 4 ? historia : ciencias) << p;
        EXPECT_EQ(window.findChild<QLabel*>("LabelPregunta")->text(), QStringLiteral("Pregunta 1 de 6"));
    });
    options.StartTest();
    EXPECT_TRUE(session.dialogs.Messages().empty());
    EXPECT_FALSE(test.window.ClockRunning());
}

TEST_F(TestOptionsPanelTest, ForcedNumberScalesTheGeneralTest) {
    Include(historia, 10);
    Include(ciencias, 10);
    ShowLists();
    Child<QCheckBox>("CheckerNumPreguntas")->click();
    Child<QLineEdit>("NumPreguntas")->setText(QStringLiteral("5"));
    ExpectTestWindow([](TFormPregunta& window) {
        EXPECT_EQ(window.Length(), 5);
        EXPECT_FALSE(window.findChild<QWidget*>("PanelReloj")->isVisible());
    });
    options.StartTest();
}

TEST_F(TestOptionsPanelTest, ForcedNumberThatIsNoNumberStopsWithAMessage) {
    Include(historia, 3);
    ShowLists();
    Child<QCheckBox>("CheckerNumPreguntas")->click();
    Child<QLineEdit>("NumPreguntas")->clear();
    options.StartTest();
    ASSERT_EQ(session.dialogs.Messages().size(), 1u);
    EXPECT_EQ(session.dialogs.Messages()[0].kind, MessageKind::Error);
    EXPECT_FALSE(session.dialogs.LastMessage().isEmpty());
}

TEST_F(TestOptionsPanelTest, SameSeedDrawsTheSamePlan) {
    Include(historia, 6);
    ShowLists();
    std::vector<int> first;
    std::vector<int> second;
    for (std::vector<int>* drawn : {&first, &second}) {
        ASSERT_TRUE(options.AssembleTest());
        for (int p = 0; p < test.window.Length(); ++p)
            drawn->push_back(test.window.Plan().AtPosition(p).questionNumber);
    }
    EXPECT_EQ(first.size(), 6u);
    EXPECT_EQ(first, second);
}

TEST_F(TestOptionsPanelTest, SpecificTestWithFewerMatchesAsksAndYesTakesThem) {
    ShowLists();
    ChooseSpecific(historia);
    EXPECT_TRUE(options.CheckerNumPreguntas()->isChecked());
    EXPECT_FALSE(options.CheckerNumPreguntas()->isEnabled());
    session.dialogs.ExpectMessage(Yes);
    ExpectTestWindow([&](TFormPregunta& window) {
        ASSERT_EQ(window.Length(), 12);
        // Every question of the subject once.
        std::vector<int> drawn;
        for (int p = 0; p < 12; ++p) drawn.push_back(window.Plan().AtPosition(p).questionNumber);
        std::sort(drawn.begin(), drawn.end());
        for (int q = 0; q < 12; ++q) EXPECT_EQ(drawn[static_cast<std::size_t>(q)], q);
    });
    options.StartTest();
    ASSERT_EQ(session.dialogs.Messages().size(), 1u);
    EXPECT_EQ(session.dialogs.Messages()[0].kind, MessageKind::Information);
    EXPECT_EQ(session.dialogs.Messages()[0].buttons, Yes | No | Cancel);
    EXPECT_EQ(session.dialogs.LastMessage(),
              QStringLiteral("\nSólo hay 12 preguntas que cumplan los requisitos\n"
                             "¿Deseas hacer el test de estas 12 preguntas?"));
}

TEST_F(TestOptionsPanelTest, SpecificTestAnsweredNoOpensNothing) {
    ShowLists();
    ChooseSpecific(historia);
    for (DialogButton answer : {No, Cancel}) {
        session.dialogs.ExpectMessage(answer);
        options.StartTest();
    }
    EXPECT_EQ(session.dialogs.Messages().size(), 2u);
}

TEST_F(TestOptionsPanelTest, SpecificTestOfTopicsDrawsOnlyMatchingQuestions) {
    ShowLists();
    ChooseSpecific(historia);
    Child<QCheckBox>("CheckTemas")->click();
    Child<QLineEdit>("EditTemas")->setText(QStringLiteral("historia 1"));
    session.dialogs.ExpectMessage(Yes); // "Historia 1", "Historia 10", "Historia 11"
    ExpectTestWindow([](TFormPregunta& window) {
        ASSERT_EQ(window.Length(), 3);
        std::vector<int> drawn;
        for (int p = 0; p < 3; ++p) drawn.push_back(window.Plan().AtPosition(p).questionNumber);
        EXPECT_EQ(drawn, (std::vector<int>{1, 10, 11}));
    });
    // Enter in EditTemas starts the test.
    QTest::keyClick(Child("EditTemas"), Qt::Key_Return);
    EXPECT_EQ(session.dialogs.Messages()[0].text,
              QStringLiteral("\nSólo hay 3 preguntas que cumplan los requisitos\n"
                             "¿Deseas hacer el test de estas 3 preguntas?"));
}

TEST_F(TestOptionsPanelTest, SpecificTestOfAnEmptySubjectIsAnError) {
    ShowLists();
    ChooseSpecific(vacia);
    options.StartTest();
    ASSERT_EQ(session.dialogs.Messages().size(), 1u);
    EXPECT_EQ(session.dialogs.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(session.dialogs.LastMessage(),
              QStringLiteral("\nNo se ha encontrado ninguna pregunta que cumpla los requisitos..."));
}

} // namespace
} // namespace vexamo::testing

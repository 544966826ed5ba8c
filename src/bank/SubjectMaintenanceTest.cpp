// Window tests of the subject commands: new, search, delete, reset and repair, with their
// confirmations and messages, checked against the files they change.

#include "bank/SubjectMaintenance.h"

#include "FakeSession.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace vexamo::testing {
namespace {

namespace fs = std::filesystem;

class MaintenanceTest : public ListsTest {
  protected:
    void TypeName(const QString& name) {
        auto* edit = Find<QLineEdit>("NuevoExamenEdit");
        ASSERT_TRUE(Find<QWidget>("PanelNuevoExamen")->isVisible());
        edit->setText(name);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void Trigger(const char* action) {
        QAction* found = panel->findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(found, nullptr) << action;
        found->trigger();
    }
    std::vector<QString> Texts() {
        std::vector<QString> texts;
        for (const ShownMessage& m : session.dialogs.Messages())
            texts.push_back(m.text);
        return texts;
    }
    bool AnyAsked(int subject) {
        const SubjectPaths paths = PathsOf(session.catalogue, subject);
        for (std::uint32_t n = 0; n < IndexCount(paths); ++n)
            if (IsAsked(paths, n))
                return true;
        return false;
    }
    void MarkAll(int subject) {
        const SubjectPaths paths = PathsOf(session.catalogue, subject);
        for (std::uint32_t n = 0; n < IndexCount(paths); ++n)
            MarkAsked(paths, n);
        ASSERT_TRUE(AnyAsked(subject));
    }
};

// ---------------------------------------------------------------------------------------
// New subject

TEST_F(MaintenanceTest, NewSubjectFromTheMenuIsCreatedExcluded) {
    session.AddSubjectWithCount("Arte", 4);
    Open();
    Click(In(), 0); // a click in the included list does not matter for the menu command
    panel->NuevaMateria();
    EXPECT_EQ(Find<QLabel>("LabelNuevoNombre")->text(), "Nueva materia");
    TypeName(QString::fromUtf8("Química"));

    EXPECT_FALSE(Find<QWidget>("PanelNuevoExamen")->isVisible());
    const Catalogue disk = session.FromDisk();
    ASSERT_EQ(disk.SubjectCount(), 2);
    EXPECT_EQ(disk.subjectNames[1], "Qu\xedmica");
    EXPECT_EQ(disk.subjects[1].QuestionCount(), 0u);
    EXPECT_FALSE(disk.examTypes[0].IsIncluded(1));
    EXPECT_EQ(ReadBytes(session.dir / "Química" / "Off_Materia.bin"), std::string(4, '\0'));
    EXPECT_TRUE(fs::exists(session.dir / "Química" / "Química.txt"));
    EXPECT_EQ(Names(Out()), (std::vector<QString>{"Arte", QString::fromUtf8("Química")}));
    EXPECT_EQ(panel->SelectedSubject(), 1);
    EXPECT_TRUE(session.dialogs.Messages().empty());
}

TEST_F(MaintenanceTest, NewSubjectFromTheIncludedListPopupIsIncludedWithZero) {
    const int arte = session.AddSubjectWithCount("Arte", 4);
    session.Include(arte, 3);
    Open();
    Click(In(), 0);
    Trigger("PopupMateriasInNuevaMateria");
    TypeName("Latín");

    const Catalogue disk = session.FromDisk();
    ASSERT_EQ(disk.SubjectCount(), 2);
    EXPECT_TRUE(disk.examTypes[0].IsIncluded(1));
    EXPECT_EQ(disk.examTypes[0].QuestionsFor(1), 0);
    EXPECT_EQ(Names(In()), (std::vector<QString>{"Arte", QString::fromUtf8("Latín")}));
    EXPECT_EQ(Cell(In(), 1, 1), "0");

    // The next one, after no new click, goes to the excluded list.
    Trigger("PopupMateriasInNuevaMateria");
    TypeName("Griego");
    EXPECT_FALSE(session.FromDisk().examTypes[0].IsIncluded(2));
}

TEST_F(MaintenanceTest, NewSubjectFromTheExcludedListPopupIsExcluded) {
    session.AddSubjectWithCount("Arte", 4);
    Open();
    Click(Out(), 0, Qt::RightButton);
    Trigger("PopupMateriasOutNuevaMateria");
    TypeName("Griego");
    const Catalogue disk = session.FromDisk();
    ASSERT_EQ(disk.SubjectCount(), 2);
    EXPECT_FALSE(disk.examTypes[0].IsIncluded(1));
}

class RefusedSubjectTest : public MaintenanceTest,
                           public ::testing::WithParamInterface<RefusedNameCase> {};

TEST_P(RefusedSubjectTest, RefusedNewSubjectWritesNothing) {
    session.AddSubjectWithCount("Arte", 4);
    Open();
    const std::string before = ReadBytes(session.catalogue.FilePath());
    panel->NuevaMateria();
    TypeName(QString::fromUtf8(GetParam().name));
    EXPECT_EQ(session.dialogs.LastMessage(), QString::fromUtf8(GetParam().message));
    EXPECT_EQ(session.dialogs.Messages().back().kind, MessageKind::Error);
    EXPECT_EQ(ReadBytes(session.catalogue.FilePath()), before);
    EXPECT_FALSE(Find<QWidget>("PanelNuevoExamen")->isVisible());
    EXPECT_FALSE(fs::exists(session.dir.Path().parent_path() / "fuera"));
}

INSTANTIATE_TEST_SUITE_P(
    Names, RefusedSubjectTest,
    ::testing::Values(
        RefusedNameCase{"Arte", "\nEsa materia ya existe!"},
        RefusedNameCase{"a/b", "\nEsa materia ya existe!"},
        RefusedNameCase{"../fuera", "\nEsa materia ya existe!"},
        RefusedNameCase{"..", "\nEsa materia ya existe!"},
        RefusedNameCase{"123456789012345678901234567890123456789012345678901234567890123",
                           "\nEl nombre es demasiado largo: admite como máximo 62 caracteres."},
        RefusedNameCase{"Matemáticas ∑",
                           "\nEl nombre contiene caracteres que no se pueden guardar."}));

TEST_F(MaintenanceTest, SixtyTwoCharactersAreAccepted) {
    Open();
    panel->NuevaMateria();
    TypeName(QString(62, QLatin1Char('m')));
    EXPECT_TRUE(session.dialogs.Messages().empty());
    EXPECT_EQ(session.FromDisk().SubjectCount(), 1);
}

TEST_F(MaintenanceTest, The129thSubjectIsRefused) {
    for (int i = 0; i < kMaxSubjects; ++i)
        ASSERT_TRUE(session.catalogue.AddSubject("M" + std::to_string(i), 0));
    Open();
    panel->NuevaMateria();
    TypeName("Una de más");
    EXPECT_EQ(session.dialogs.LastMessage(),
              QString::fromUtf8("\nNo se pueden crear más materias: el máximo es de 128."));
    EXPECT_EQ(session.FromDisk().SubjectCount(), kMaxSubjects);
    EXPECT_FALSE(fs::exists(session.dir / "Una de más"));
}

// ---------------------------------------------------------------------------------------
// Search

TEST_F(MaintenanceTest, SearchFindsPartOfANameInAnyCaseIncludedListFirst) {
    session.AddSubjectWithCount("Arte moderno", 1);
    const int historia = session.AddSubjectWithCount("Historia del arte", 2);
    session.AddSubjectWithCount("Qu\xcdmica", 3); // "QuÍmica"
    session.Include(historia, 1);
    Open();

    panel->BuscarMateria();
    EXPECT_EQ(Find<QLabel>("LabelNuevoNombre")->text(), "Buscar materia");
    TypeName("ARTE");
    EXPECT_EQ(panel->SelectedSubject(), historia) << "the included list is searched first";
    EXPECT_EQ(In()->currentRow(), 0);
    EXPECT_FALSE(Find<QWidget>("PanelNuevoExamen")->isVisible());

    panel->BuscarMateria();
    TypeName(QString::fromUtf8("químic"));
    EXPECT_EQ(panel->SelectedSubject(), 2);
    EXPECT_EQ(Out()->currentRow(), 1);

    panel->BuscarMateria();
    TypeName("moDERN");
    EXPECT_EQ(panel->SelectedSubject(), 0);
    EXPECT_EQ(Out()->currentRow(), 0);
    EXPECT_TRUE(session.dialogs.Messages().empty());
}

TEST_F(MaintenanceTest, FailedSearchSaysSoAndKeepsThePanelOpen) {
    session.AddSubjectWithCount("Arte", 1);
    Open();
    panel->BuscarMateria();
    TypeName("Biología");
    EXPECT_EQ(session.dialogs.LastMessage(),
              QString::fromUtf8("\nNo se ha encontrado ninguna materia con ese nombre..."));
    EXPECT_EQ(session.dialogs.Messages().back().kind, MessageKind::Error);
    auto* edit = Find<QLineEdit>("NuevoExamenEdit");
    EXPECT_TRUE(Find<QWidget>("PanelNuevoExamen")->isVisible());
    EXPECT_EQ(edit->selectedText(), QString::fromUtf8("Biología"));

    edit->setText("ar"); // a second try from the same panel
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(Find<QWidget>("PanelNuevoExamen")->isVisible());
    EXPECT_EQ(Out()->currentRow(), 0);
}

// ---------------------------------------------------------------------------------------
// Delete

TEST_F(MaintenanceTest, DeleteFromTheMenuAsksTwiceThenDeletesAndRenumbers) {
    const int a = session.AddSubjectWithQuestions("Arte", 2);
    const int b = session.AddSubjectWithQuestions("Biolog\xed"
                                                  "a",
                                                  3);
    const int c = session.AddSubjectWithCount("Cine", 5);
    session.Include(a, 1);
    session.Include(b, 2);
    session.Include(c, 4);
    Open();
    Click(In(), 1);
    ASSERT_EQ(panel->SelectedSubject(), b);

    session.dialogs.ExpectMessage(Yes);
    session.dialogs.ExpectMessage(Yes);
    panel->EliminarMateria();

    EXPECT_EQ(
        Texts(),
        (std::vector<QString>{
            QString::fromUtf8("\n¿Eliminar completamente la materia \"Biología\"?"),
            QString::fromUtf8("\n¡¿SEGURO?! Se borrará la materia y todas sus preguntas..."),
            QString::fromUtf8("\nLa materia \"Biología\" ha sido eliminada de la base de datos")}));
    const auto& shown = session.dialogs.Messages();
    EXPECT_EQ(shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(shown[0].buttons, Yes | No | Cancel);
    EXPECT_EQ(shown[1].kind, MessageKind::Warning);
    EXPECT_EQ(shown[2].kind, MessageKind::Information);

    const Catalogue disk = session.FromDisk();
    EXPECT_EQ(disk.subjectNames, (std::vector<std::string>{"Arte", "Cine"}));
    EXPECT_TRUE(disk.examTypes[0].IsIncluded(1));
    EXPECT_EQ(disk.examTypes[0].QuestionsFor(1), 4) << "Cine keeps its count under its new number";
    EXPECT_FALSE(fs::exists(session.dir / "Biología"));
    EXPECT_EQ(Names(In()), (std::vector<QString>{"Arte", "Cine"}));
    EXPECT_EQ(Cell(In(), 1, 1), "4");
    EXPECT_EQ(panel->IncludedCounts(), (std::vector<std::pair<int, int>>{{0, 1}, {1, 4}}));
}

struct DeclineCase {
    std::vector<DialogButton> answers;
};

void PrintTo(const DeclineCase& c, std::ostream* os) {
    *os << "answers";
    for (const DialogButton b : c.answers)
        *os << ' ' << (b == Yes ? "Yes" : b == No ? "No" : "Cancel");
}

class DeclineDeleteTest : public MaintenanceTest,
                          public ::testing::WithParamInterface<DeclineCase> {};

TEST_P(DeclineDeleteTest, DecliningEitherWarningKeepsEverything) {
    session.AddSubjectWithQuestions("Arte", 2);
    Open();
    Click(Out(), 0);
    for (const DialogButton answer : GetParam().answers)
        session.dialogs.ExpectMessage(answer);
    const std::string before = ReadBytes(session.catalogue.FilePath());
    Trigger("PopupMateriasOutEliminarMateria");
    EXPECT_EQ(session.dialogs.Messages().size(), GetParam().answers.size());
    EXPECT_EQ(ReadBytes(session.catalogue.FilePath()), before);
    EXPECT_TRUE(fs::exists(session.dir / "Arte" / "Arte.txt"));
}

INSTANTIATE_TEST_SUITE_P(Answers, DeclineDeleteTest,
                         ::testing::Values(DeclineCase{{No}}, DeclineCase{{Cancel}},
                                           DeclineCase{{Yes, No}}, DeclineCase{{Yes, Cancel}}));

TEST_F(MaintenanceTest, DeleteFromThePopupUsesTheRowOfThatList) {
    const int a = session.AddSubjectWithCount("Arte", 2);
    session.AddSubjectWithCount("Cine", 5);
    session.Include(a, 1);
    Open();
    Click(Out(), 0); // Cine; then the included list's pop-up acts on Arte
    Click(In(), 0, Qt::RightButton);
    session.dialogs.ExpectMessage(Yes);
    session.dialogs.ExpectMessage(Yes);
    Trigger("PopupMateriasInEliminarMateria");
    EXPECT_EQ(session.dialogs.LastMessage(),
              QString::fromUtf8("\nLa materia \"Arte\" ha sido eliminada de la base de datos"));
    EXPECT_EQ(session.FromDisk().subjectNames, (std::vector<std::string>{"Cine"}));
}

TEST_F(MaintenanceTest, SubjectCommandsOnAnEmptyListDoNothing) {
    const int a = session.AddSubjectWithCount("Arte", 2);
    session.Include(a, 1);
    Open();
    Click(Out(), 0); // the empty row
    for (const char* action : {"PopupMateriasOutEliminarMateria",
                               "PopupMateriasOutReiniciarPreguntas", "PopupMateriasOutReparar"})
        Trigger(action);
    EXPECT_FALSE(panel->findChild<QAction*>("PopupMateriasOutEliminarMateria")->isEnabled());
    EXPECT_TRUE(session.dialogs.Messages().empty());
    EXPECT_EQ(session.FromDisk().SubjectCount(), 1);
}

TEST_F(MaintenanceTest, MenuDeleteWithoutSubjectsDoesNothing) {
    Open();
    panel->EliminarMateria();
    EXPECT_TRUE(session.dialogs.Messages().empty());
}

// ---------------------------------------------------------------------------------------
// Reset

TEST_F(MaintenanceTest, ResetOneSubjectClearsOnlyItsFlagsAfterAWarning) {
    const int arte = session.AddSubjectWithQuestions("Arte", 3);
    const int cine = session.AddSubjectWithQuestions("Cine", 2);
    MarkAll(arte);
    MarkAll(cine);
    Open();
    const std::string questionsBefore = ReadBytes(session.catalogue.QuestionFile(arte));

    Click(Out(), 0);
    session.dialogs.ExpectMessage(No);
    Trigger("PopupMateriasOutReiniciarPreguntas");
    EXPECT_TRUE(AnyAsked(arte));

    session.dialogs.ExpectMessage(Yes);
    Trigger("PopupMateriasOutReiniciarPreguntas");
    EXPECT_FALSE(AnyAsked(arte));
    EXPECT_TRUE(AnyAsked(cine));
    EXPECT_EQ(IndexCount(PathsOf(session.catalogue, arte)), 3u);
    EXPECT_EQ(ReadBytes(session.catalogue.QuestionFile(arte)), questionsBefore);
    EXPECT_EQ(session.FromDisk().subjects[0].QuestionCount(), 3u);
    EXPECT_EQ(Texts(),
              (std::vector<QString>{
                  QString::fromUtf8(
                      "\n¿Seguro que quieres reiniciar las preguntas de la materia \"Arte\"?"),
                  QString::fromUtf8(
                      "\n¿Seguro que quieres reiniciar las preguntas de la materia \"Arte\"?"),
                  QString::fromUtf8("\nSe han reiniciado las preguntas de la materia \"Arte\"")}));
    EXPECT_EQ(session.dialogs.Messages()[0].kind, MessageKind::Warning);
    EXPECT_EQ(session.dialogs.Messages()[0].buttons, Yes | No | Cancel);
}

TEST_F(MaintenanceTest, ResetAllSubjectsAfterAConfirmation) {
    const int arte = session.AddSubjectWithQuestions("Arte", 3);
    const int cine = session.AddSubjectWithQuestions("Cine", 2);
    MarkAll(arte);
    MarkAll(cine);
    Open();

    session.dialogs.ExpectMessage(Cancel);
    panel->ReiniciarTodasLasMaterias();
    EXPECT_TRUE(AnyAsked(arte));
    EXPECT_TRUE(AnyAsked(cine));

    session.dialogs.ExpectMessage(Yes);
    panel->ReiniciarTodasLasMaterias();
    EXPECT_FALSE(AnyAsked(arte));
    EXPECT_FALSE(AnyAsked(cine));
    const auto& shown = session.dialogs.Messages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].kind, MessageKind::Confirmation);
    EXPECT_EQ(
        shown[1].text,
        QString::fromUtf8("\n¿Seguro que quieres reiniciar el historial de preguntas realizadas?"));
    EXPECT_EQ(shown[2].text, QString::fromUtf8("\nSe han reiniciado todas las materias"));
    EXPECT_EQ(shown[2].kind, MessageKind::Information);
}

// ---------------------------------------------------------------------------------------
// Repair

TEST_F(MaintenanceTest, RepairOneSubjectRecreatesALostIndexAndCorrectsTheCount) {
    session.AddSubjectWithCount("Arte", 7);
    const int cine = session.AddSubjectWithQuestions("Cine", 2);
    MarkAll(cine);
    session.WriteQuestions(cine, 4); // the file grew behind the index's back
    fs::remove(session.catalogue.IndexFile(cine));
    Open();
    EXPECT_EQ(Cell(Out(), 1, 1), "2");

    Click(Out(), 1);
    Trigger("PopupMateriasOutReparar");

    EXPECT_EQ(session.dialogs.LastMessage(),
              QString::fromUtf8("\nLa materia \"Cine\" ha sido revisada"));
    EXPECT_EQ(session.dialogs.Messages().back().kind, MessageKind::Information);
    EXPECT_EQ(session.FromDisk().subjects[static_cast<std::size_t>(cine)].QuestionCount(), 4u);
    EXPECT_EQ(IndexCount(PathsOf(session.catalogue, cine)), 4u);
    EXPECT_FALSE(AnyAsked(cine));
    EXPECT_EQ(Cell(Out(), 1, 1), "4");
    EXPECT_EQ(Find<QLabel>("LabelPreguntasBD")->text(), "11");
    EXPECT_EQ(session.FromDisk().subjects[0].QuestionCount(), 7u) << "other subjects untouched";
}

TEST_F(MaintenanceTest, RepairAllSubjectsCorrectsEveryCountAndClearsEveryFlag) {
    const int arte = session.AddSubjectWithQuestions("Arte", 3);
    const int cine = session.AddSubjectWithQuestions("Cine", 2);
    const int lengua = session.AddSubjectWithCount("Lengua", 50); // no questions at all
    MarkAll(arte);
    session.WriteQuestions(cine, 5);
    session.Include(arte, 3);
    Open();

    panel->DetectarYRepararErrores();

    EXPECT_EQ(Texts(),
              (std::vector<QString>{QString::fromUtf8("\nTodas las materias han sido revisadas")}));
    const Catalogue disk = session.FromDisk();
    EXPECT_EQ(disk.subjects[static_cast<std::size_t>(arte)].QuestionCount(), 3u);
    EXPECT_EQ(disk.subjects[static_cast<std::size_t>(cine)].QuestionCount(), 5u);
    EXPECT_EQ(disk.subjects[static_cast<std::size_t>(lengua)].QuestionCount(), 0u);
    EXPECT_FALSE(AnyAsked(arte));
    EXPECT_EQ(Names(In()), (std::vector<QString>{"Arte"}));
    EXPECT_EQ(Cell(Out(), 0, 1), "5");
    EXPECT_EQ(Find<QLabel>("LabelPreguntasBD")->text(), "8");
    EXPECT_FALSE(Find<QProgressBar>("BarraReparacion")->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is gone";
}

} // namespace
} // namespace vexamo::testing

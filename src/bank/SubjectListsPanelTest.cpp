// Window tests of the subject lists: what the administrator does in them reaches the
// catalogue file, and what the other roles do does not.

#include "bank/SubjectListsPanel.h"

#include "FakeSession.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

namespace vexamo::testing {
namespace {

TEST_F(ListsTest, ListsShowIncludedCountsAndExcludedQuestionCounts) {
    const int historia = session.AddSubjectWithCount("Historia", 120);
    session.AddSubjectWithCount("F\xedsica", 40);
    const int lengua = session.AddSubjectWithCount("Lengua", 300);
    session.Include(historia, 25);
    session.Include(lengua, 7);
    Open();

    EXPECT_EQ(Names(In()), (std::vector<QString>{"Historia", "Lengua"}));
    EXPECT_EQ(Cell(In(), 0, 1), "25");
    EXPECT_EQ(Cell(In(), 1, 1), "7");
    EXPECT_EQ(Names(Out()), (std::vector<QString>{"Física"}));
    EXPECT_EQ(Cell(Out(), 0, 1), "40");
    EXPECT_EQ(panel->IncludedCounts(), (std::vector<std::pair<int, int>>{{0, 25}, {2, 7}}));
    EXPECT_EQ(panel->CurrentAvailableSubject(), 1);
    EXPECT_EQ(panel->LargestSubject(), 300u);
    EXPECT_EQ(Find<QLabel>("LabelPreguntasTest")->text(), "32");
    EXPECT_EQ(Find<QLabel>("LabelPreguntasBD")->text(), "460");
    EXPECT_EQ(In()->horizontalHeaderItem(0)->text(), "Materias incluídas en este examen");
    EXPECT_EQ(In()->horizontalHeaderItem(1)->text(), "Num. preguntas");
    EXPECT_EQ(Out()->horizontalHeaderItem(0)->text(), "Materias excluídas");
    EXPECT_EQ(Out()->horizontalHeaderItem(1)->text(), "Preguntas disp.");
}

TEST_F(ListsTest, EmptyListsShowOneEmptyRowAndZeroTotals) {
    Open();
    ASSERT_EQ(In()->rowCount(), 1);
    ASSERT_EQ(Out()->rowCount(), 1);
    EXPECT_EQ(Cell(In(), 0, 0), "");
    EXPECT_EQ(Cell(Out(), 0, 1), "");
    EXPECT_TRUE(panel->IncludedCounts().empty());
    EXPECT_EQ(panel->CurrentAvailableSubject(), -1);
    EXPECT_EQ(Find<QLabel>("LabelPreguntasTest")->text(), "0");
    EXPECT_EQ(Find<QLabel>("LabelPreguntasBD")->text(), "0");
}

struct BankTotalCase {
    std::vector<std::uint32_t> counts;
    const char* shown;
};

void PrintTo(const BankTotalCase& c, std::ostream* os) {
    *os << "counts";
    for (const std::uint32_t n : c.counts)
        *os << ' ' << n;
    *os << " -> " << c.shown;
}

class BankTotalTest : public ListsTest, public ::testing::WithParamInterface<BankTotalCase> {};

TEST_P(BankTotalTest, BankTotalUsesSpanishThousandsSeparators) {
    int n = 0;
    for (const std::uint32_t count : GetParam().counts)
        session.AddSubjectWithCount("M" + std::to_string(n++), count);
    Open();
    EXPECT_EQ(Find<QLabel>("LabelPreguntasBD")->text(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Totals, BankTotalTest,
                         ::testing::Values(BankTotalCase{{999}, "999"},
                                           BankTotalCase{{1000}, "1.000"},
                                           BankTotalCase{{12000, 345}, "12.345"},
                                           BankTotalCase{{500000, 499998}, "999.998"},
                                           BankTotalCase{{500000, 499999}, "0"}, // above 999998
                                           BankTotalCase{{4000000000u, 4000000000u}, "0"}));

TEST_F(ListsTest, TestTotalIsAPlainSumAndZeroWhenACellIsNotANumber) {
    const int a = session.AddSubjectWithCount("A", 1000);
    const int b = session.AddSubjectWithCount("B", 1000);
    session.Include(a, 250);
    session.Include(b, 250);
    Open();
    auto* label = Find<QLabel>("LabelPreguntasTest");
    EXPECT_EQ(label->text(), "500");
    In()->item(1, 1)->setText("x");
    EXPECT_EQ(label->text(), "500") << "text in a count cell leaves the totals as they were";
    In()->setCurrentCell(0, 1);
    In()->item(0, 1)->setText("100"); // the total is recounted with 999999 for "x"
    EXPECT_EQ(label->text(), "0");
}

struct CountEditCase {
    const char* typed;
    const char* cellAfter;
    int stored;        // count byte in the file afterwards
    const char* total; // "Total preguntas test:" afterwards
};

void PrintTo(const CountEditCase& c, std::ostream* os) {
    *os << "typed \"" << c.typed << "\"";
}

class CountEditTest : public ListsTest, public ::testing::WithParamInterface<CountEditCase> {};

TEST_P(CountEditTest, TypedCountIsCappedAndStored) {
    const int historia = session.AddSubjectWithCount("Historia", 120);
    session.Include(historia, 10);
    Open();
    In()->setCurrentCell(0, 1);
    In()->item(0, 1)->setText(QString::fromUtf8(GetParam().typed));

    EXPECT_EQ(Cell(In(), 0, 1), GetParam().cellAfter);
    EXPECT_EQ(StoredCount(historia), GetParam().stored);
    EXPECT_TRUE(StoredIncluded(historia));
    EXPECT_EQ(Find<QLabel>("LabelPreguntasTest")->text(), GetParam().total);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CountEditTest,
    ::testing::Values(CountEditCase{"30", "30", 30, "30"}, CountEditCase{"120", "120", 120, "120"},
                      CountEditCase{"500", "120", 120, "120"},
                      CountEditCase{"-5", "120", 120, "120"},
                      CountEditCase{"-1", "120", 120, "120"}, CountEditCase{"0", "0", 0, "0"},
                      // text is ignored: nothing stored, total as it was
                      CountEditCase{"abc", "abc", 10, "10"}, CountEditCase{"12a", "12a", 10, "10"},
                      CountEditCase{"", "", 10, "10"}));

TEST_F(ListsTest, CountAboveOneByteIsShownAsStored) {
    const int big = session.AddSubjectWithCount("Grande", 400);
    session.Include(big, 10);
    Open();
    In()->setCurrentCell(0, 1);
    In()->item(0, 1)->setText("300");
    EXPECT_EQ(StoredCount(big), 255);
    EXPECT_EQ(Cell(In(), 0, 1), "255");
}

TEST_F(ListsTest, EllipsisOpensCountPanelWhoseOkStoresAndCancelDoesNot) {
    const int historia = session.AddSubjectWithCount("Historia", 120);
    session.Include(historia, 10);
    Open();
    auto* countPanel = Find<QWidget>("PanelNumPreguntasTest");
    auto* spin = Find<QSpinBox>("EditNumPreguntasTest");
    EXPECT_FALSE(countPanel->isVisible());
    EXPECT_EQ(spin->minimum(), 0);
    EXPECT_EQ(spin->maximum(), 100);
    EXPECT_EQ(spin->singleStep(), 5);

    const QRect cell = In()->visualItemRect(In()->item(0, 1));
    const QPoint button(cell.right() - 5, cell.center().y());
    QTest::mouseClick(In()->viewport(), Qt::LeftButton, {}, button);
    ASSERT_TRUE(countPanel->isVisible());
    EXPECT_EQ(spin->value(), 10);

    spin->setValue(35);
    QTest::mouseClick(Find<QPushButton>("BotonNumPreguntasCancel"), Qt::LeftButton);
    EXPECT_FALSE(countPanel->isVisible());
    EXPECT_EQ(StoredCount(historia), 10);
    EXPECT_EQ(Cell(In(), 0, 1), "10");

    QTest::mouseClick(In()->viewport(), Qt::LeftButton, {}, button);
    ASSERT_TRUE(countPanel->isVisible());
    spin->setValue(35);
    QTest::mouseClick(Find<QPushButton>("BotonNumPreguntasOk"), Qt::LeftButton);
    EXPECT_FALSE(countPanel->isVisible());
    EXPECT_EQ(StoredCount(historia), 35);
    EXPECT_EQ(Cell(In(), 0, 1), "35");
    EXPECT_EQ(Find<QLabel>("LabelPreguntasTest")->text(), "35");
}

TEST_F(ListsTest, ClickOnTheCountTextDoesNotOpenThePanel) {
    const int historia = session.AddSubjectWithCount("Historia", 120);
    session.Include(historia, 10);
    Open();
    const QRect cell = In()->visualItemRect(In()->item(0, 1));
    QTest::mouseClick(In()->viewport(), Qt::LeftButton, {},
                      QPoint(cell.left() + 5, cell.center().y()));
    EXPECT_FALSE(Find<QWidget>("PanelNumPreguntasTest")->isVisible());
}

TEST_F(ListsTest, ExcludeAndIncludeByDoubleClickKeepTheFormerCount) {
    session.AddSubjectWithCount("Arte", 50);
    const int historia = session.AddSubjectWithCount("Historia", 120);
    session.Include(historia, 33);
    Open();

    DoubleClick(In(), 0);
    EXPECT_FALSE(StoredIncluded(historia));
    EXPECT_EQ(StoredCount(historia), 33) << "exclusion only clears the bit";
    EXPECT_EQ(Names(Out()), (std::vector<QString>{"Arte", "Historia"}));
    EXPECT_EQ(Out()->currentRow(), 1);
    EXPECT_EQ(Cell(In(), 0, 0), "");

    DoubleClick(Out(), 1);
    EXPECT_TRUE(StoredIncluded(historia));
    EXPECT_EQ(StoredCount(historia), 33);
    EXPECT_EQ(Names(In()), (std::vector<QString>{"Historia"}));
    EXPECT_EQ(Cell(In(), 0, 1), "33");
    EXPECT_EQ(In()->currentRow(), 0);

    DoubleClick(Out(), 0); // never included: comes in with 0
    EXPECT_TRUE(StoredIncluded(0));
    EXPECT_EQ(StoredCount(0), 0);
    EXPECT_EQ(Names(In()), (std::vector<QString>{"Arte", "Historia"}));
}

TEST_F(ListsTest, DoubleClickOnEmptyRowOrInSpecificModeChangesNothing) {
    const int arte = session.AddSubjectWithCount("Arte", 50);
    Open();
    DoubleClick(In(), 0); // the empty row
    Find<QRadioButton>("TestEspecifico")->setChecked(true);
    DoubleClick(Out(), 0);
    EXPECT_FALSE(StoredIncluded(arte));
}

TEST_F(ListsTest, RowClicksWithAnyButtonSetSelectedSubject) {
    const int historia = session.AddSubjectWithCount("Historia", 120);
    const int arte = session.AddSubjectWithCount("Arte", 50);
    session.Include(historia, 5);
    Open();
    QSignalSpy spy(panel.get(), &SubjectListsPanel::SelectedSubjectChanged);
    Click(Out(), 0, Qt::RightButton);
    EXPECT_EQ(panel->SelectedSubject(), arte);
    Click(In(), 0);
    EXPECT_EQ(panel->SelectedSubject(), historia);
    ASSERT_FALSE(spy.isEmpty());
    EXPECT_EQ(spy.last().at(0).toInt(), historia);
}

TEST_F(ListsTest, RenameByEditingTheNameCell) {
    const int historia = session.AddSubjectWithQuestions("Historia", 2);
    session.AddSubjectWithCount("Arte", 0);
    session.Include(historia, 1);
    Open();
    EditName(0, "Historia de España");
    EXPECT_EQ(Cell(In(), 0, 0), "Historia de España");
    EXPECT_EQ(session.FromDisk().subjectNames[0], "Historia de Espa\xf1"
                                                  "a");
    EXPECT_TRUE(
        std::filesystem::exists(session.dir / "Historia de España" / "Historia de España.txt"));
    EXPECT_FALSE(std::filesystem::exists(session.dir / "Historia"));
    EXPECT_TRUE(session.dialogs.Messages().empty());
}

class RefusedRenameTest : public ListsTest,
                          public ::testing::WithParamInterface<RefusedNameCase> {};

TEST_P(RefusedRenameTest, RefusedRenameKeepsNameAndSaysWhy) {
    const int historia = session.AddSubjectWithCount("Historia", 3);
    session.AddSubjectWithCount("Arte", 0);
    session.Include(historia, 1);
    Open();
    EditName(0, QString::fromUtf8(GetParam().name));
    EXPECT_EQ(Cell(In(), 0, 0), "Historia");
    EXPECT_EQ(session.FromDisk().subjectNames, (std::vector<std::string>{"Historia", "Arte"}));
    EXPECT_TRUE(std::filesystem::exists(session.dir / "Historia"));
    ASSERT_EQ(session.dialogs.Messages().size(), 1u);
    EXPECT_EQ(session.dialogs.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(session.dialogs.LastMessage(), QString::fromUtf8(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Names, RefusedRenameTest,
    ::testing::Values(
        RefusedNameCase{"Arte", "\nYa existe una materia llamada \"Arte\": elige otro nombre."},
        RefusedNameCase{"", "\nEl nombre de la materia no puede quedar vacío."},
        RefusedNameCase{"123456789012345678901234567890123456789012345678901234567890123",
                          "\nEl nombre es demasiado largo: admite como máximo 62 caracteres."}));

TEST_F(ListsTest, NameChangeNotEndedByEnterIsUndone) {
    const int historia = session.AddSubjectWithCount("Historia", 3);
    session.Include(historia, 1);
    Open();
    In()->item(0, 0)->setText("Otra"); // as when the editor loses the focus
    EXPECT_EQ(Cell(In(), 0, 0), "Historia");
    EditName(0, "Otra", Qt::Key_Escape);
    EXPECT_EQ(Cell(In(), 0, 0), "Historia");
    EXPECT_EQ(session.FromDisk().subjectNames, (std::vector<std::string>{"Historia"}));
    EXPECT_TRUE(session.dialogs.Messages().empty());
}

TEST_F(ListsTest, EmptyRowCannotBeEdited) {
    session.AddSubjectWithCount("Arte", 0);
    Open();
    EXPECT_FALSE(In()->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(In()->item(0, 1)->flags() & Qt::ItemIsEditable);
}

TEST_F(ListsTest, DeletingTheLastExamTypeIsRefused) {
    Open();
    panel->EliminarExamen();
    ASSERT_EQ(session.dialogs.Messages().size(), 1u);
    EXPECT_EQ(session.dialogs.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(session.dialogs.LastMessage(),
              QString::fromUtf8("\nNo se puede eliminar... Sólo queda este tipo de exámen!"));
    EXPECT_EQ(session.FromDisk().ExamTypeCount(), 1);
}

TEST_F(ListsTest, DeletingAnExamTypeAsksAndSelectsTheLast) {
    ASSERT_TRUE(session.catalogue.AddExamType("Oposici\xf3n B"));
    ASSERT_TRUE(session.catalogue.AddExamType("Oposici\xf3n C"));
    Open();
    auto* combo = Find<QComboBox>("ComboExamenes");
    combo->setCurrentIndex(1);

    for (const DialogButton answer : {No, Cancel}) {
        session.dialogs.ExpectMessage(answer);
        panel->EliminarExamen();
        EXPECT_EQ(session.FromDisk().ExamTypeCount(), 3);
    }
    session.dialogs.ExpectMessage(Yes);
    panel->EliminarExamen();
    const ShownMessage& asked = session.dialogs.Messages().back();
    EXPECT_EQ(asked.kind, MessageKind::Warning);
    EXPECT_EQ(asked.buttons, Yes | No | Cancel);
    EXPECT_EQ(asked.text, QString::fromUtf8(
                              "\n¿Seguro que quieres eliminar el tipo de exámen \"Oposición B\"?"));

    const Catalogue disk = session.FromDisk();
    ASSERT_EQ(disk.ExamTypeCount(), 2);
    EXPECT_EQ(disk.examTypes[1].Name(), "Oposici\xf3n C");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(combo->currentText(), QString::fromUtf8("Oposición C"));
    EXPECT_EQ(titulo.text(), QString::fromUtf8("Test general - Oposición C"));
}

TEST_F(ListsTest, NewExamTypeThroughTheNamePanel) {
    const int arte = session.AddSubjectWithCount("Arte", 9);
    Open();
    Find<QRadioButton>("TestEspecifico")->setChecked(true);
    panel->NuevoExamen();
    EXPECT_TRUE(Find<QRadioButton>("TestGeneral")->isChecked())
        << "new exam type works in general mode";
    auto* namePanel = Find<QWidget>("PanelNuevoExamen");
    ASSERT_TRUE(namePanel->isVisible());
    EXPECT_EQ(Find<QLabel>("LabelNuevoNombre")->text(), QString::fromUtf8("Nuevo tipo de exámen"));
    auto* edit = Find<QLineEdit>("NuevoExamenEdit");
    EXPECT_TRUE(edit->text().isEmpty());
    QTest::keyClicks(edit, QString::fromUtf8("Auxiliar"));
    QTest::keyClick(edit, Qt::Key_Return);

    EXPECT_FALSE(namePanel->isVisible());
    const Catalogue disk = session.FromDisk();
    ASSERT_EQ(disk.ExamTypeCount(), 2);
    EXPECT_EQ(disk.examTypes[1].Name(), "Auxiliar");
    EXPECT_FALSE(disk.examTypes[1].IsIncluded(arte));
    auto* combo = Find<QComboBox>("ComboExamenes");
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(combo->currentText(), "Auxiliar");
    EXPECT_EQ(Names(Out()), (std::vector<QString>{"Arte"}));
}

TEST_F(ListsTest, NamePanelEmptyOkEscapeAndCancelAddNothing) {
    Open();
    auto* namePanel = Find<QWidget>("PanelNuevoExamen");
    auto* edit = Find<QLineEdit>("NuevoExamenEdit");

    panel->NuevoExamen();
    QTest::mouseClick(Find<QPushButton>("BotonNuevoExamenOk"), Qt::LeftButton);
    EXPECT_FALSE(namePanel->isVisible());

    panel->NuevoExamen();
    QTest::keyClicks(edit, "Uno");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(namePanel->isVisible());

    panel->NuevoExamen();
    EXPECT_TRUE(edit->text().isEmpty()) << "the field is cleared at each opening";
    QTest::keyClicks(edit, "Dos");
    QTest::mouseClick(Find<QPushButton>("BotonNuevoExamenCancel"), Qt::LeftButton);
    EXPECT_FALSE(namePanel->isVisible());

    panel->NuevoExamen();
    QTest::mouseClick(panel.get(), Qt::LeftButton, {}, QPoint(2, 2)); // the background
    EXPECT_FALSE(namePanel->isVisible());

    EXPECT_EQ(session.FromDisk().ExamTypeCount(), 1);
    EXPECT_TRUE(session.dialogs.Messages().empty());
}

TEST_F(ListsTest, OverlongExamTypeNameIsRefused) {
    Open();
    panel->NuevoExamen();
    Find<QLineEdit>("NuevoExamenEdit")->setText(QString(63, QLatin1Char('x')));
    QTest::mouseClick(Find<QPushButton>("BotonNuevoExamenOk"), Qt::LeftButton);
    EXPECT_EQ(
        session.dialogs.LastMessage(),
        QString::fromUtf8("\nEl nombre es demasiado largo: admite como máximo 62 caracteres."));
    EXPECT_EQ(session.FromDisk().ExamTypeCount(), 1);
}

class ModeTest : public ListsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ModeTest, SpecificModeForcesTheNumberAndGeneralModeRestoresIt) {
    const bool forcedBefore = GetParam();
    session.AddSubjectWithCount("Arte", 9);
    const int historia = session.AddSubjectWithCount("Historia", 120);
    session.Include(historia, 20);
    Open();
    checker.setChecked(forcedBefore);
    titulo.setText("Mi test");

    Find<QRadioButton>("TestEspecifico")->setChecked(true);
    EXPECT_TRUE(panel->IsSpecificMode());
    EXPECT_TRUE(checker.isChecked());
    EXPECT_FALSE(checker.isEnabled());
    EXPECT_FALSE(menuEliminarExamen.isEnabled());
    EXPECT_EQ(Out()->horizontalHeaderItem(0)->text(), "Materias disponibles");
    EXPECT_TRUE(Find<QWidget>("PanelTestEspecifico")->isVisible());
    EXPECT_FALSE(In()->isVisible());
    EXPECT_EQ(Names(Out()), (std::vector<QString>{"Arte", "Historia"}));
    EXPECT_TRUE(panel->IncludedCounts().empty());
    EXPECT_EQ(panel->EditMateriaText(), "Arte");
    EXPECT_EQ(titulo.text(), QString::fromUtf8("Test específico - Arte"));

    Out()->setCurrentCell(1, 0); // choosing the subject of the test
    EXPECT_EQ(panel->EditMateriaText(), "Historia");
    EXPECT_EQ(panel->CurrentAvailableSubject(), historia);
    EXPECT_EQ(titulo.text(), QString::fromUtf8("Test específico - Historia"));

    Find<QRadioButton>("TestGeneral")->setChecked(true);
    EXPECT_EQ(checker.isChecked(), forcedBefore);
    EXPECT_TRUE(checker.isEnabled());
    EXPECT_TRUE(menuEliminarExamen.isEnabled());
    EXPECT_EQ(Out()->horizontalHeaderItem(0)->text(), "Materias excluídas");
    EXPECT_TRUE(In()->isVisible());
    EXPECT_EQ(Names(In()), (std::vector<QString>{"Historia"}));
    EXPECT_EQ(titulo.text(),
              QString::fromUtf8("Test general - ") + QString::fromUtf8(kDefaultExamTypeName));
}

INSTANTIATE_TEST_SUITE_P(Forced, ModeTest, ::testing::Bool());

TEST_F(ListsTest, ModeChangeLeavesAnEmptyTitleEmpty) {
    session.AddSubjectWithCount("Arte", 9);
    Open();
    Find<QRadioButton>("TestEspecifico")->setChecked(true);
    titulo.clear();
    Find<QRadioButton>("TestGeneral")->setChecked(true);
    EXPECT_TRUE(titulo.text().isEmpty());
}

TEST_F(ListsTest, ExamTypeChangeRebuildsTheListsAndSetsTheTitle) {
    const int arte = session.AddSubjectWithCount("Arte", 9);
    ASSERT_TRUE(session.catalogue.AddExamType("Segundo"));
    session.Include(arte, 4, 1);
    Open();
    EXPECT_EQ(Cell(In(), 0, 0), "");
    Find<QComboBox>("ComboExamenes")->setCurrentIndex(1);
    EXPECT_EQ(panel->SelectedExamType(), 1);
    EXPECT_EQ(Names(In()), (std::vector<QString>{"Arte"}));
    EXPECT_EQ(Cell(In(), 0, 1), "4");
    EXPECT_EQ(titulo.text(), "Test general - Segundo");
}

TEST_F(ListsTest, GuestCanNeitherEditNorIncludeNorSelect) {
    const int arte = session.AddSubjectWithCount("Arte", 9);
    const int historia = session.AddSubjectWithCount("Historia", 120);
    session.Include(historia, 20);
    session.role = kRoleGuest;
    Open();
    panel->ApplyRole(kRoleGuest);

    EXPECT_EQ(In()->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(In()->item(0, 1)->flags() & Qt::ItemIsEditable);
    EXPECT_EQ(In()->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_EQ(Out()->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_EQ(Find<QComboBox>("ComboExamenes")->contextMenuPolicy(), Qt::NoContextMenu);

    In()->setCurrentCell(0, 1);
    In()->item(0, 1)->setText("50"); // as if typed: nothing is stored
    EXPECT_EQ(StoredCount(historia), 20);

    const QRect cell = In()->visualItemRect(In()->item(0, 1));
    QTest::mouseClick(In()->viewport(), Qt::LeftButton, {},
                      QPoint(cell.right() - 5, cell.center().y()));
    EXPECT_FALSE(Find<QWidget>("PanelNumPreguntasTest")->isVisible());

    DoubleClick(In(), 0);
    DoubleClick(Out(), 0);
    EXPECT_TRUE(StoredIncluded(historia));
    EXPECT_FALSE(StoredIncluded(arte));

    Click(In(), 0);
    EXPECT_EQ(panel->SelectedSubject(), 0);
    Click(Out(), 0);
    Click(In(), 0);
    EXPECT_EQ(panel->SelectedSubject(), 0) << "clicks keep SelectedSubject for other roles";

    panel->NuevoExamen();
    panel->NuevaMateria();
    panel->BuscarMateria();
    EXPECT_FALSE(Find<QWidget>("PanelNuevoExamen")->isVisible());
    panel->EliminarExamen();
    panel->EliminarMateria();
    panel->ReiniciarTodasLasMaterias();
    panel->DetectarYRepararErrores();
    EXPECT_TRUE(session.dialogs.Messages().empty());
    EXPECT_EQ(session.FromDisk().SubjectCount(), 2);
}

TEST_F(ListsTest, AdministratorAfterGuestEditsAgain) {
    const int historia = session.AddSubjectWithCount("Historia", 120);
    session.Include(historia, 20);
    Open();
    panel->ApplyRole(kRoleGuest);
    panel->ApplyRole(kRoleAdministrator);
    EXPECT_TRUE(In()->item(0, 1)->flags() & Qt::ItemIsEditable);
    In()->setCurrentCell(0, 1);
    In()->item(0, 1)->setText("50");
    EXPECT_EQ(StoredCount(historia), 50);
}

TEST_F(ListsTest, SplitterHeightRoundTrips) {
    session.AddSubjectWithCount("Arte", 9);
    Open();
    panel->SetIncludedPanelHeight(150);
    EXPECT_EQ(panel->IncludedPanelHeight(), 150);
}

} // namespace
} // namespace vexamo::testing

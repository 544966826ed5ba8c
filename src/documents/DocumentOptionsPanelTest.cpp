#include "documents/DocumentOptionsPanel.h"

#include "ScriptedDialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace vexamo {
namespace {

using testing::ScriptedDialogs;

template <typename T>
T* Find(const QWidget& panel, const char* name) {
    T* child = panel.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QColor SwatchColor(const QWidget& panel, const char* name) {
    return Find<QLabel>(panel, name)->palette().color(QPalette::Window);
}

TEST(DocumentOptionsPanel, StartsWithTheDocumentDefaults) {
    ScriptedDialogs dialogs;
    DocumentOptionsPanel panel(dialogs);
    EXPECT_FALSE(Find<QCheckBox>(panel, "CheckTitulo")->isChecked());
    EXPECT_FALSE(panel.EditTitulo()->isEnabled());
    EXPECT_EQ(panel.EditTitulo()->objectName(), QStringLiteral("EditTitulo"));
    EXPECT_FALSE(Find<QSpinBox>(panel, "NumTamanoTitulo")->isEnabled());
    EXPECT_TRUE(panel.DateFlag());
    EXPECT_TRUE(panel.Columns());
    EXPECT_TRUE(panel.Watermark());
    EXPECT_TRUE(Find<QCheckBox>(panel, "CheckMarcaAgua")->isHidden());
    EXPECT_EQ(panel.TitleSize(), 16);
    EXPECT_EQ(panel.QuestionSize(), 10);
    EXPECT_EQ(panel.AnswerSize(), 10);
    EXPECT_EQ(panel.QuestionColor(), QColor(128, 0, 0));
    EXPECT_EQ(panel.AnswerColor(), QColor(Qt::black));
    EXPECT_EQ(SwatchColor(panel, "ShapeColorPreguntas"), QColor(128, 0, 0));
    EXPECT_FALSE(panel.FontName().isEmpty());
    EXPECT_EQ(panel.PanelHeight(), DocumentOptionsPanel::kOpenHeight);
}

TEST(DocumentOptionsPanel, TitleCheckEnablesTheTitleAndRefreshesAWrittenOne) {
    ScriptedDialogs dialogs;
    DocumentOptionsPanel panel(dialogs);
    int asked = 0;
    panel.SetDefaultTitleSource([&] {
        ++asked;
        return QStringLiteral("Test general - Oposiciones");
    });
    auto* check = Find<QCheckBox>(panel, "CheckTitulo");
    auto* size = Find<QSpinBox>(panel, "NumTamanoTitulo");

    // An empty title stays empty.
    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_TRUE(panel.EditTitulo()->isEnabled());
    EXPECT_TRUE(size->isEnabled());
    EXPECT_TRUE(panel.EditTitulo()->text().isEmpty());
    EXPECT_EQ(asked, 0);

    panel.EditTitulo()->setText(QStringLiteral("Mi título"));
    EXPECT_EQ(panel.TitleText(), QStringLiteral("Mi título"));

    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_FALSE(panel.EditTitulo()->isEnabled());
    EXPECT_FALSE(size->isEnabled());
    EXPECT_EQ(panel.EditTitulo()->text(), QStringLiteral("Test general - Oposiciones"));
    EXPECT_TRUE(panel.TitleText().isEmpty()) << "no title is written while the check is off";
}

TEST(DocumentOptionsPanel, ColourSwatchTakesTheDialogsColourEvenAfterACancel) {
    ScriptedDialogs dialogs;
    DocumentOptionsPanel panel(dialogs);
    const QColor blue(0, 0, 255);

    dialogs.ExpectColor(blue);
    QTest::mouseClick(Find<QLabel>(panel, "Label10"), Qt::LeftButton);
    EXPECT_EQ(panel.QuestionColor(), blue);
    EXPECT_EQ(SwatchColor(panel, "ShapeColorPreguntas"), blue);

    // Cancelled: the dialog still holds blue, so the swatch shows blue.
    dialogs.ExpectColor(QColor());
    panel.Label10Click();
    EXPECT_EQ(panel.QuestionColor(), blue);

    // The other dialog is independent: a cancel gives its starting black.
    dialogs.ExpectColor(QColor());
    QTest::mouseClick(Find<QLabel>(panel, "Label11"), Qt::LeftButton);
    EXPECT_EQ(panel.AnswerColor(), QColor(Qt::black));
    EXPECT_EQ(SwatchColor(panel, "ShapeColorRespuestas"), QColor(Qt::black));
}

TEST(DocumentOptionsPanel, HeaderCollapsesAndOpensThePanel) {
    ScriptedDialogs dialogs;
    DocumentOptionsPanel panel(dialogs);
    auto* header = Find<QPushButton>(panel, "PanelExportarImprimirEncabezado");
    QTest::mouseClick(header, Qt::LeftButton);
    EXPECT_EQ(panel.PanelHeight(), 33);
    EXPECT_EQ(panel.maximumHeight(), 33);
    EXPECT_FALSE(panel.IsOpen());
    QTest::mouseClick(header, Qt::LeftButton);
    EXPECT_EQ(panel.PanelHeight(), 247);
    EXPECT_EQ(panel.maximumHeight(), 247);
}

struct SizeCase {
    const char* name;
    int minimum;
    int maximum;
};

class DocumentSizeField : public ::testing::TestWithParam<SizeCase> {};

TEST_P(DocumentSizeField, ArrowsStepByTwoWithinTheLimitsAndTheTextIsReadOnly) {
    ScriptedDialogs dialogs;
    DocumentOptionsPanel panel(dialogs);
    auto* field = Find<QSpinBox>(panel, GetParam().name);
    field->setEnabled(true);
    const int start = field->value();
    field->stepBy(1);
    EXPECT_EQ(field->value(), start + 2);
    field->stepBy(100);
    EXPECT_EQ(field->value(), GetParam().maximum);
    field->stepBy(-100);
    EXPECT_EQ(field->value(), GetParam().minimum);

    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("3"));
    EXPECT_EQ(field->value(), GetParam().minimum);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DocumentSizeField,
                         ::testing::Values(SizeCase{"NumTamanoTitulo", 8, 36},
                                           SizeCase{"NumTamanoPreguntas", 8, 18},
                                           SizeCase{"NumTamanoRespuestas", 8, 18}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vexamo

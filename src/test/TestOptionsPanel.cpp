// The test options of the main window and the start of a test.

#include "test/TestOptionsPanel.h"

#include "bank/Catalogue.h"
#include "bank/SubjectListsPanel.h"
#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "platform/Session.h"
#include "test/TFormPregunta.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include "test/TestAssembly.h"

namespace vexamo {

namespace {

// Keys a number field accepts: digits of the main row and of the keypad, Backspace, Delete,
// Home, End and the four arrows.
bool IsNumberFieldKey(const QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        const Qt::KeyboardModifiers other =
            event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
        return other == Qt::NoModifier;
    }
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

// Key filter and arrow steps of one number field.
class NumberFieldFilter : public QObject {
public:
    NumberFieldFilter(QLineEdit* field, bool digitsOnly, int maxTyped)
        : QObject(field), field_(field), digitsOnly_(digitsOnly), maxTyped_(maxTyped) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != field_ || event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (digitsOnly_ && !IsNumberFieldKey(key)) return true; // discarded
        // A typed character that would make the text longer than allowed is discarded.
        if (!key->text().isEmpty() && key->text().at(0).isPrint()) {
            const int kept = static_cast<int>(field_->text().size() - field_->selectedText().size());
            if (kept >= maxTyped_) return true;
        }
        return false;
    }

private:
    QLineEdit* field_;
    bool digitsOnly_;
    int maxTyped_;
};

void Step(QLineEdit* field, int minimum, int maximum, int step) {
    bool ok = false;
    int value = field->text().toInt(&ok);
    if (!ok) value = step > 0 ? minimum - step : maximum - step;
    value = std::clamp(value + step, minimum, maximum);
    field->setText(QString::number(value));
}

// The busy cursor while the bank is read; taken down while a question is on screen.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption, bool checked) {
    auto* check = new QCheckBox(QString::fromUtf8(caption), parent);
    check->setObjectName(QString::fromLatin1(name));
    check->setChecked(checked);
    return check;
}

} // namespace

QWidget* MakeNumberField(QLineEdit* field, int minimum, int maximum, int step, bool digitsOnly,
                         int maxTyped, QWidget* parent) {
    auto* holder = new QWidget(parent);
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    field->setParent(holder);
    field->setMaximumWidth(16 + 9 * maxTyped);
    field->installEventFilter(new NumberFieldFilter(field, digitsOnly, maxTyped));
    // Text pasted with the mouse does not pass the key filter; the validator stops it.
    if (digitsOnly) {
        field->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(maxTyped)), field));
    }
    layout->addWidget(field);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    const QString base = field->objectName();
    for (int direction : {+1, -1}) {
        auto* button = new QToolButton(holder);
        button->setObjectName(base + (direction > 0 ? QStringLiteral("Up") : QStringLiteral("Down")));
        button->setArrowType(direction > 0 ? Qt::UpArrow : Qt::DownArrow);
        button->setFixedSize(16, 11);
        button->setFocusPolicy(Qt::NoFocus);
        QObject::connect(button, &QToolButton::clicked, field,
                         [=] { Step(field, minimum, maximum, direction * step); });
        arrows->addWidget(button);
    }
    layout->addLayout(arrows);
    layout->addStretch();
    return holder;
}

TestOptionsPanel::TestOptionsPanel(Session& session, SubjectListsPanel& lists,
                                   TFormPregunta& testWindow, QWidget* parent)
    : QWidget(parent), session_(session), lists_(lists), testWindow_(testWindow),
      seedSource_([] { return static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch()); }) {
    setObjectName(QStringLiteral("PanelOpcionesTest"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);

    checkerNumPreguntas_ = MakeCheck(this, "CheckerNumPreguntas", "Forzar número de preguntas:", false);
    numPreguntas_ = new QLineEdit(QStringLiteral("20"));
    numPreguntas_->setObjectName(QStringLiteral("NumPreguntas"));
    grid->addWidget(checkerNumPreguntas_, 0, 0);
    grid->addWidget(MakeNumberField(numPreguntas_, 5, 140, 5, true, 3, this), 0, 1);

    checkerTiempo_ = MakeCheck(this, "CheckerTiempo", "Límite de tiempo:                 minutos", false);
    numTiempo_ = new QLineEdit(QStringLiteral("10"));
    numTiempo_->setObjectName(QStringLiteral("NumTiempo"));
    // The minutes field sits in the blank between "Límite de tiempo:" and "minutos".
    QWidget* minutes = MakeNumberField(numTiempo_, 5, 90, 5, true, 2, checkerTiempo_);
    const int gap = style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                    style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) +
                    checkerTiempo_->fontMetrics().horizontalAdvance(QStringLiteral("Límite de tiempo: "));
    minutes->resize(minutes->sizeHint());
    minutes->move(gap, 0);
    checkerTiempo_->setMinimumHeight(minutes->height());
    grid->addWidget(checkerTiempo_, 1, 0, 1, 2);

    checkerAgruparPreguntas_ =
        MakeCheck(this, "CheckerAgruparPreguntas", "Agrupar las preguntas por materias", false);
    checkerNoRepetir_ = MakeCheck(this, "CheckerNoRepetir", "Repetir preguntas lo menos posible", false);
    grid->addWidget(checkerAgruparPreguntas_, 2, 0, 1, 2);
    grid->addWidget(checkerNoRepetir_, 3, 0, 1, 2);

    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(new QLabel(QStringLiteral("Tamaño de letra:"), this));
    tamanoFuente8_ = new QRadioButton(QStringLiteral("8"), this);
    tamanoFuente8_->setObjectName(QStringLiteral("TamanoFuente8"));
    tamanoFuente12_ = new QRadioButton(QStringLiteral("12"), this);
    tamanoFuente12_->setObjectName(QStringLiteral("TamanoFuente12"));
    tamanoFuente12_->setChecked(true);
    fontRow->addWidget(tamanoFuente8_);
    fontRow->addWidget(tamanoFuente12_);
    fontRow->addStretch();
    grid->addLayout(fontRow, 4, 0, 1, 2);
    grid->setRowStretch(5, 1);

    // The topic options live in the lists panel's PanelTestEspecifico.
    topicOptions_ = new QWidget(this);
    topicOptions_->setObjectName(QStringLiteral("OpcionesTemas"));
    auto* topics = new QVBoxLayout(topicOptions_);
    topics->setContentsMargins(0, 0, 0, 0);
    checkTemas_ = MakeCheck(topicOptions_, "CheckTemas", "Sólo preguntas que traten de:", false);
    editTemas_ = new QLineEdit(topicOptions_);
    editTemas_->setObjectName(QStringLiteral("EditTemas"));
    checkInclResp_ = MakeCheck(topicOptions_, "CheckInclResp", "Incluir respuestas", true);
    checkMayMin_ = MakeCheck(topicOptions_, "CheckMayMin", "Coincidir mayúsculas y minúsculas", false);
    topics->addWidget(checkTemas_);
    topics->addWidget(editTemas_);
    topics->addWidget(checkInclResp_);
    topics->addWidget(checkMayMin_);
    topicOptions_->hide();
    CheckTemasClick();

    connect(checkTemas_, &QCheckBox::toggled, this, [this] { CheckTemasClick(); });
    connect(editTemas_, &QLineEdit::returnPressed, this, &TestOptionsPanel::StartTest);
    connect(tamanoFuente8_, &QRadioButton::toggled, this,
            [this] { testWindow_.SetFontSize(tamanoFuente8_->isChecked() ? 8 : 12); });
    connect(checkerNoRepetir_, &QCheckBox::toggled, this,
            [this](bool on) { testWindow_.SetNoRepeat(on); });
    testWindow_.SetFontSize(12);
    testWindow_.SetNoRepeat(false);
}

TestOptionsPanel::~TestOptionsPanel() = default;

void TestOptionsPanel::SetSeedSource(std::function<std::uint32_t()> seedSource) {
    seedSource_ = std::move(seedSource);
}

void TestOptionsPanel::CheckTemasClick() {
    const bool on = checkTemas_->isChecked();
    editTemas_->setEnabled(on);
    checkInclResp_->setEnabled(on);
    checkMayMin_->setEnabled(on);
    if (on) editTemas_->setFocus();
}

namespace {

TestOptions ReadOptions(const SubjectListsPanel& lists, const QCheckBox* force,
                        const QLineEdit* number, const QCheckBox* grouping,
                        const QCheckBox* noRepeat, const QCheckBox* temas, const QLineEdit* editTemas,
                        const QCheckBox* inclResp, const QCheckBox* mayMin) {
    TestOptions options;
    options.specific = lists.IsSpecificMode();
    for (const auto& [subject, count] : lists.IncludedCounts())
        options.rows.push_back(ExamRow{subject, count < 0 ? 0 : count});
    options.specificSubject = lists.CurrentAvailableSubject();
    options.forceNumber = force->isChecked();
    options.numPreguntas = ToCp1252(number->text());
    options.grouping = grouping->isChecked();
    options.noRepeat = noRepeat->isChecked();
    options.topics.enabled = temas->isChecked();
    options.topics.text = ToCp1252(editTemas->text());
    options.topics.includeAnswers = inclResp->isChecked();
    options.topics.matchCase = mayMin->isChecked();
    return options;
}

} // namespace

bool TestOptionsPanel::AssembleTest() {
    const TestOptions options =
        ReadOptions(lists_, checkerNumPreguntas_, numPreguntas_, checkerAgruparPreguntas_,
                    checkerNoRepetir_, checkTemas_, editTemas_, checkInclResp_, checkMayMin_);
    Dialogs& dialogs = session_.GetDialogs();
    SubjectFilesAccess bank(session_.GetCatalogue());
    Mt19937Random random(seedSource_());
    const ConfirmFewer confirmFewer = [&](const std::string& text, int) {
        QGuiApplication::restoreOverrideCursor();
        const bool yes = dialogs.Message(this, vexamo::MessageKind::Information,
                                         QString::fromUtf8(text), Yes | No | Cancel) == Yes;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        return yes;
    };
    AssemblyResult result;
    {
        const BusyCursor busy;
        result = vexamo::AssembleTest(options, bank, random, confirmFewer, testWindow_.Plan());
    }
    if (!result.ok()) {
        if (!result.message.empty()) {
            const bool error = result.kind == AssemblyMessageKind::Error;
            dialogs.Message(this, error ? vexamo::MessageKind::Error : vexamo::MessageKind::Warning,
                            QString::fromUtf8(result.message), Ok);
        }
        return false;
    }
    totalQuestions_ = result.totalQuestions;
    return true;
}

void TestOptionsPanel::StartTest() {
    Dialogs& dialogs = session_.GetDialogs();
    if (!lists_.IsSpecificMode()) {
        const auto rows = lists_.IncludedCounts();
        if (rows.empty() || rows.front().second < 0) {
            dialogs.Warning(this, QStringLiteral("\nNo has seleccionado ninguna materia..."));
            return;
        }
    }
    testWindow_.SetTimeLimit(checkerTiempo_->isChecked(), numTiempo_->text());
    if (!AssembleTest()) return;
    dialogs.Exec(&testWindow_);
}

} // namespace vexamo

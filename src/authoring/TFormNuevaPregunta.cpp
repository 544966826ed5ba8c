// The question editor's window. Reading, validating, the duplicate check and saving are the
// question-editing operations of the authoring core; the window collects the fields, shows the
// messages and moves the focus.

#include "authoring/TFormNuevaPregunta.h"

#include "authoring/QuestionEditing.h"
#include "bank/Catalogue.h"
#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "platform/Session.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace vexamo {

TFormNuevaPregunta::TFormNuevaPregunta(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName(QStringLiteral("FormNuevaPregunta"));
    setWindowTitle(QStringLiteral("Nueva pregunta"));

    auto* layout = new QVBoxLayout(this);
    auto* header = new QHBoxLayout;
    label1_ = new QLabel(QStringLiteral("Introducir nueva pregunta para la materia"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    nombreMateria_ = new QLabel(this);
    nombreMateria_->setObjectName(QStringLiteral("NombreMateria"));
    nombreMateria_->setTextFormat(Qt::PlainText);
    QFont bold = nombreMateria_->font();
    bold.setBold(true);
    nombreMateria_->setFont(bold);
    totalPreguntasMateria_ = new QLabel(this);
    totalPreguntasMateria_->setObjectName(QStringLiteral("TotalPreguntasMateria"));
    totalPreguntasMateria_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    header->addWidget(label1_);
    header->addWidget(nombreMateria_);
    header->addStretch();
    header->addWidget(totalPreguntasMateria_);
    layout->addLayout(header);

    pregunta_ = new QTextEdit(this);
    pregunta_->setObjectName(QStringLiteral("Pregunta"));
    pregunta_->setAcceptRichText(false);
    pregunta_->setTabChangesFocus(true);
    pregunta_->setFixedHeight(90);
    pregunta_->installEventFilter(this);
    connect(pregunta_, &QTextEdit::textChanged, this, &TFormNuevaPregunta::LimitQuestionLength);
    layout->addWidget(pregunta_);

    auto* grid = new QGridLayout;
    for (int i = 0; i < 5; ++i) {
        respuestaLabels_[i] = new QLabel(QStringLiteral("Respuesta %1)").arg(QChar('a' + i)), this);
        respuestaLabels_[i]->setObjectName(QStringLiteral("LabelRespuesta%1").arg(i + 1));
        respuestas_[i] = new QLineEdit(this);
        respuestas_[i]->setObjectName(QStringLiteral("Respuesta%1").arg(i + 1));
        respuestas_[i]->setMaxLength(kFieldLimit);
        respuestas_[i]->installEventFilter(this);
        grid->addWidget(respuestaLabels_[i], i, 0);
        grid->addWidget(respuestas_[i], i, 1);
    }
    layout->addLayout(grid);

    auto* letterRow = new QHBoxLayout;
    letterRow->addWidget(new QLabel(QStringLiteral("Respuesta correcta:"), this));
    respuestaCorrecta_ = new QLineEdit(this);
    respuestaCorrecta_->setObjectName(QStringLiteral("RespuestaCorrecta"));
    respuestaCorrecta_->setMaxLength(1);
    respuestaCorrecta_->setFixedWidth(30);
    respuestaCorrecta_->installEventFilter(this);
    letterRow->addWidget(respuestaCorrecta_);
    letterRow->addStretch();
    ocultarQuinta_ = new QCheckBox(QStringLiteral("Sólo 4 respuestas"), this);
    ocultarQuinta_->setObjectName(QStringLiteral("OcultarQuintaAlternativa"));
    ocultarQuinta_->setFocusPolicy(Qt::ClickFocus);
    comprobarRepetida_ = new QCheckBox(QStringLiteral("Comprobar que no esté repetida"), this);
    comprobarRepetida_->setObjectName(QStringLiteral("ComprobarRepetida"));
    comprobarRepetida_->setFocusPolicy(Qt::ClickFocus);
    comprobarRepetida_->setChecked(true);
    letterRow->addWidget(ocultarQuinta_);
    letterRow->addWidget(comprobarRepetida_);
    layout->addLayout(letterRow);
    connect(ocultarQuinta_, &QCheckBox::clicked, this,
            &TFormNuevaPregunta::OcultarQuintaAlternativaClick);
    connect(comprobarRepetida_, &QCheckBox::clicked, this,
            &TFormNuevaPregunta::OcultarQuintaAlternativaClick);

    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    siguientePregunta_ = new QPushButton(QStringLiteral("Introducir pregunta y pasar a la siguiente"), this);
    siguientePregunta_->setObjectName(QStringLiteral("SiguientePregunta"));
    ok_ = new QPushButton(QStringLiteral("Introducir pregunta y cerrar"), this);
    ok_->setObjectName(QStringLiteral("Ok"));
    cancel_ = new QPushButton(QStringLiteral("Cerrar"), this);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    buttons->addStretch();
    buttons->addWidget(siguientePregunta_);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(siguientePregunta_, &QPushButton::clicked, this, &TFormNuevaPregunta::SiguientePreguntaClick);
    connect(ok_, &QPushButton::clicked, this, &TFormNuevaPregunta::OkClick);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(620, 400);
}

TFormNuevaPregunta::~TFormNuevaPregunta() = default;

int TFormNuevaPregunta::StoredQuestionCount(int subject) const {
    const Catalogue& catalogue = session_.GetCatalogue();
    if (subject < 0 || subject >= catalogue.SubjectCount()) return 0;
    return static_cast<int>(catalogue.subjects[static_cast<std::size_t>(subject)].QuestionCount());
}

int TFormNuevaPregunta::AddQuestions(int subject) {
    const int count = StoredQuestionCount(subject);
    return Open(subject, count, count, true);
}

int TFormNuevaPregunta::EditQuestion(int subject, int questionNumber) {
    return Open(subject, questionNumber, StoredQuestionCount(subject), false);
}

int TFormNuevaPregunta::Open(int subject, int questionNumber, int questionCount, bool showNext) {
    Catalogue& catalogue = session_.GetCatalogue();
    if (subject < 0 || subject >= catalogue.SubjectCount()) return QDialog::Rejected;
    subject_ = subject;
    subjectName_ = ToQString(catalogue.subjects[static_cast<std::size_t>(subject)].Name());
    questionNumber_ = std::clamp(questionNumber, 0, std::max(0, questionCount));
    questionCount_ = std::max(0, questionCount);
    nombreMateria_->setText(subjectName_);
    ok_->setText(QStringLiteral("Introducir pregunta y cerrar"));
    siguientePregunta_->setVisible(showNext);
    saved_ = false;
    const int result = session_.GetDialogs().Exec(this);
    if (saved_) {
        catalogue.LoadCatalogue();
        session_.RebuildLists();
    }
    return result;
}

void TFormNuevaPregunta::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFormNuevaPregunta::FormShow() {
    saved_ = false;
    OcultarQuintaAlternativaClick();
    std::optional<QuestionTexts> stored;
    if (IsEditMode()) {
        stored = ReadStoredQuestion(PathsOf(session_.GetCatalogue(), subject_),
                                    static_cast<std::uint32_t>(questionNumber_));
    }
    if (!stored) {
        ClearFields();
        return;
    }
    pregunta_->setPlainText(ToQString(stored->question));
    for (int i = 0; i < 5; ++i)
        respuestas_[i]->setText(ToQString(stored->answers[static_cast<std::size_t>(i)]));
    respuestaCorrecta_->setText(ToQString(stored->letter).left(1));
    ShowTotal();
    pregunta_->setFocus();
    pregunta_->selectAll();
}

void TFormNuevaPregunta::ClearFields() {
    pregunta_->clear();
    for (QLineEdit* field : respuestas_) field->clear();
    respuestaCorrecta_->clear();
    ShowTotal();
    pregunta_->setFocus();
}

void TFormNuevaPregunta::ShowTotal() {
    totalPreguntasMateria_->setText(QStringLiteral("Total: %1").arg(questionCount_));
}

void TFormNuevaPregunta::OcultarQuintaAlternativaClick() {
    const bool five = !ocultarQuinta_->isChecked();
    respuestaLabels_[4]->setVisible(five);
    respuestas_[4]->setVisible(five);
}

// The question field has no length limit of its own: text beyond the limit is cut.
void TFormNuevaPregunta::LimitQuestionLength() {
    const QString text = pregunta_->toPlainText();
    if (text.size() <= kFieldLimit) return;
    const QSignalBlocker blocker(pregunta_);
    pregunta_->setPlainText(text.left(kFieldLimit));
    pregunta_->moveCursor(QTextCursor::End);
}

QWidget* TFormNuevaPregunta::FieldWidget(int field) const {
    if (field == 0) return pregunta_;
    if (field >= 1 && field <= 5) return respuestas_[field - 1];
    return respuestaCorrecta_;
}

TFormNuevaPregunta::SaveOutcome TFormNuevaPregunta::ValidateAndSave() {
    std::array<std::string, 5> answers;
    for (int i = 0; i < 5; ++i) answers[static_cast<std::size_t>(i)] = ToCp1252(respuestas_[i]->text());
    const QuestionTexts texts = CollectInput(ToCp1252(pregunta_->toPlainText()), answers,
                                             ToCp1252(respuestaCorrecta_->text()));
    Dialogs& dialogs = session_.GetDialogs();
    if (const auto failure = ValidateQuestion(texts, ocultarQuinta_->isChecked())) {
        dialogs.Error(this, QString::fromUtf8(failure->message));
        FieldWidget(static_cast<int>(failure->focus))->setFocus();
        return SaveOutcome::Refused;
    }
    Catalogue& catalogue = session_.GetCatalogue();
    EditorSubject subject{PathsOf(catalogue, subject_), subject_,
                          static_cast<std::uint32_t>(questionNumber_),
                          static_cast<std::uint32_t>(questionCount_)};
    if (comprobarRepetida_->isChecked() && questionCount_ >= 1 &&
        IsDuplicateQuestion(subject.paths, texts)) {
        const DialogButton answer =
            dialogs.Message(this, MessageKind::Warning, QString::fromUtf8(DuplicateQuestionWarning()),
                            Yes | No | Cancel);
        if (answer == No) {
            if (siguientePregunta_->isVisibleTo(this)) ClearFields();
            return SaveOutcome::DuplicateNo;
        }
        if (answer != Yes) return SaveOutcome::DuplicateCancel;
    }
    const SaveResult result = SaveQuestion(subject, texts, catalogue);
    if (!result.ok()) {
        dialogs.Error(this, QString::fromUtf8(result.message));
        return SaveOutcome::Refused;
    }
    questionNumber_ = static_cast<int>(subject.questionNumber);
    questionCount_ = static_cast<int>(subject.questionCount);
    saved_ = true;
    return SaveOutcome::Saved;
}

void TFormNuevaPregunta::SiguientePreguntaClick() {
    if (ValidateAndSave() == SaveOutcome::Saved) ClearFields();
}

void TFormNuevaPregunta::OkClick() {
    if (ValidateAndSave() == SaveOutcome::Saved) accept();
}

void TFormNuevaPregunta::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TFormNuevaPregunta::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QDialog::eventFilter(watched, event);
    QWidget* next = nullptr;
    if (watched == pregunta_) {
        pregunta_->moveCursor(QTextCursor::End);
        next = respuestas_[0];
    } else if (watched == respuestas_[0] || watched == respuestas_[1] || watched == respuestas_[2]) {
        for (int i = 0; i < 3; ++i)
            if (watched == respuestas_[i]) next = respuestas_[i + 1];
    } else if (watched == respuestas_[3]) {
        next = respuestas_[4]->isVisibleTo(this) ? static_cast<QWidget*>(respuestas_[4])
                                                 : static_cast<QWidget*>(respuestaCorrecta_);
    } else if (watched == respuestas_[4]) {
        next = respuestaCorrecta_;
    } else if (watched == respuestaCorrecta_) {
        next = siguientePregunta_->isVisibleTo(this) ? static_cast<QWidget*>(siguientePregunta_)
                                                     : static_cast<QWidget*>(ok_);
    }
    if (!next) return QDialog::eventFilter(watched, event);
    next->setFocus();
    return true;
}

} // namespace vexamo

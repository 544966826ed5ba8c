// The running test: opening, answers, the countdown and giving up.

#include "test/TFormPregunta.h"

#include "bank/Catalogue.h"
#include "bank/SubjectFiles.h"
#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "platform/Session.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace vexamo {

void TFormPregunta::SetTimeLimit(bool armed, const QString& minutesText) {
    clockArmed_ = armed;
    panelReloj_->setVisible(armed);
    if (armed) minutesText_ = minutesText;
}

bool TFormPregunta::ClockRunning() const { return timer_->isActive(); }

void TFormPregunta::FormShow() {
    reloj_->setText(minutesText_ + QStringLiteral(":00"));
    play_->setEnabled(false);
    pause_->setEnabled(true);
    sheet_.Reset();
    counts_ = TestCounts{};
    const int n = Length();
    questionStep_ = n > 0 ? static_cast<float>(kBarWidth) / static_cast<float>(n) : 0.0f;
    bool minutesOk = false;
    const int minutes = minutesText_.toInt(&minutesOk);
    timeStep_ = minutesOk && minutes > 0
                    ? static_cast<float>(kBarWidth) / static_cast<float>(minutes * 60)
                    : 0.0f;
    questionBar_ = 0;
    timeBar_ = 0;
    progresoTest_->resize(0, progresoTest_->height());
    progresoTiempo_->resize(0, progresoTiempo_->height());
    ApplyFonts();
    ResetAnswerLooks();
    for (QLabel* box : respuestas_) box->setCursor(Qt::PointingHandCursor);
    ApplyOptionsToggle();
    panelRestar_->hide();
    panelFinTest_->hide();
    panelFinTest2_->hide();
    panelRevisar_->hide();
    panelProgresar_->show();
    panelReloj_->setVisible(clockArmed_);
    VerProgresoClick();
    modificarPregunta_->setVisible(session_.IsAdministrator());
    reviewOpened_ = false;
    reviewExpanded_ = false;
    failurePlace_ = 0;
    state_ = State::Running;
    position_ = -1;
    Advance(kNoAnswer);
    if (clockArmed_ && state_ == State::Running) timer_->start();
}

void TFormPregunta::Advance(std::uint8_t answer) {
    const int n = Length();
    if (position_ >= 0) {
        sheet_.given[static_cast<std::size_t>(position_)] = answer;
        questionBar_ += questionStep_;
        progresoTest_->resize(static_cast<int>(questionBar_), progresoTest_->height());
    }
    if (position_ >= n - 1) {
        EndTest();
        return;
    }
    ++position_;
    ShowQuestion(position_);
    ResetAnswerLooks();
    UpdateQuestionLabels();
    if (noRepeat_) {
        MarkAsked(PathsOf(session_.GetCatalogue(), SubjectAt(position_)),
                  static_cast<std::uint32_t>(QuestionAt(position_)));
    }
    botonTerminar_->setFocus();
}

void TFormPregunta::UpdateQuestionLabels() {
    labelPregunta_->setText(QStringLiteral("Pregunta %1 de %2").arg(position_ + 1).arg(Length()));
    labelMateria_->setText(SubjectName(SubjectAt(position_)));
}

namespace {

// The right answer of a question as the answer sheet keeps it: a question that could not be
// read, or has no usable letter, still counts as shown.
std::uint8_t SheetLetter(const std::optional<Question>& question) {
    const std::uint8_t letter = question ? CorrectAnswerOfKey(question->key) : kNoAnswer;
    return letter == kNoAnswer ? TFormPregunta::kNoKey : letter;
}

} // namespace

std::uint8_t TFormPregunta::ReadCorrect(int position) {
    return SheetLetter(ReadQuestion(PathsOf(session_.GetCatalogue(), SubjectAt(position)),
                                    static_cast<std::uint32_t>(QuestionAt(position))));
}

void TFormPregunta::ShowQuestion(int position) {
    const auto question = ReadQuestion(PathsOf(session_.GetCatalogue(), SubjectAt(position)),
                                       static_cast<std::uint32_t>(QuestionAt(position)));
    sheet_.correct[static_cast<std::size_t>(position)] = SheetLetter(question);
    memoPregunta_->setText(question ? ToQString(question->text) : QString());
    const int count = question ? std::min(question->AnswerCount(), 5) : 0;
    for (int i = 0; i < 5; ++i) {
        const bool present = i < count;
        respuestas_[i]->setText(present ? ToQString(question->answers[static_cast<std::size_t>(i)])
                                        : QString());
        // Rows a) to d) always show; e) only for a five-answer question. A damaged record with
        // fewer answers hides the rows it lacks, so no click can choose a missing answer.
        respuestas_[i]->setVisible(present);
        respuestas_[i]->setEnabled(present);
        letras_[i]->setVisible(present);
    }
    LayOutQuestion();
}

void TFormPregunta::RespuestaMouseDown(int answer, Qt::MouseButton button) {
    if (state_ == State::Running) {
        if (button == Qt::LeftButton) {
            if (answer >= 0 && answer < 5 && respuestas_[answer]->isEnabled())
                Advance(static_cast<std::uint8_t>(answer));
        } else if (button == Qt::RightButton) {
            Advance(kNoAnswer);
        }
        if (state_ == State::Running) botonTerminar_->setFocus();
    } else if (state_ == State::Reviewing) {
        listas_[pageControl_->currentIndex()]->setFocus();
    }
}

void TFormPregunta::FormMouseDown(Qt::MouseButton button) {
    if (state_ == State::Running) {
        if (button == Qt::RightButton) Advance(kNoAnswer);
        if (state_ == State::Running) botonTerminar_->setFocus();
    } else if (state_ == State::Reviewing) {
        listas_[pageControl_->currentIndex()]->setFocus();
    }
}

void TFormPregunta::RespuestaMouseMove(int answer) {
    if (state_ != State::Running || answer == highlighted_) return;
    if (highlighted_ >= 0) SetAnswerLook(highlighted_, false);
    highlighted_ = answer;
    SetAnswerLook(answer, true);
}

void TFormPregunta::FormMouseMove() {
    if (state_ != State::Running || highlighted_ < 0) return;
    ResetAnswerLooks();
}

void TFormPregunta::TimerTimer() {
    if (state_ != State::Running) {
        timer_->stop();
        return;
    }
    const QString shown = reloj_->text();
    const int colon = shown.indexOf(QLatin1Char(':'));
    int minutes = shown.left(colon).toInt();
    int seconds = shown.mid(colon + 1).toInt();
    if (seconds > 0) {
        --seconds;
    } else if (minutes <= 0) {
        EndTest();
        return;
    } else {
        --minutes;
        seconds = 59;
    }
    reloj_->setText(QStringLiteral("%1:%2").arg(minutes).arg(seconds, 2, 10, QLatin1Char('0')));
    timeBar_ += timeStep_;
    progresoTiempo_->resize(std::min(static_cast<int>(timeBar_), kBarWidth),
                            progresoTiempo_->height());
}

void TFormPregunta::PauseClick() {
    timer_->stop();
    pause_->setEnabled(false);
    play_->setEnabled(true);
}

void TFormPregunta::PlayClick() {
    if (state_ != State::Running) return;
    timer_->start();
    play_->setEnabled(false);
    pause_->setEnabled(true);
}

void TFormPregunta::BotonTerminarClick() {
    if (state_ == State::Running) {
        timer_->stop();
        if (session_.GetDialogs().Confirm(this, QStringLiteral("\n¿Seguro que quieres dejar el test?"))) {
            EndTest();
        } else if (clockArmed_) {
            PlayClick();
        }
        return;
    }
    if (state_ == State::Ended || state_ == State::Reviewing) {
        if (counts_.Failures() > 0 &&
            !session_.GetDialogs().Confirm(this,
                                           QStringLiteral("\n¿Seguro que quieres dejar la revisión?")))
            return;
        CloseWindow(QDialog::Accepted);
    }
}

void TFormPregunta::FormClose() {
    timer_->stop();
    if (reviewExpanded_) {
        SetOptionsDown(false);
        reviewExpanded_ = false;
    }
}

} // namespace vexamo

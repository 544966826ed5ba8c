// The review of a finished test: the three lists, the reviewed question with its colours, the
// failure navigation and the editing of a question from the review.

#include "test/TFormPregunta.h"

#include "authoring/TFormNuevaPregunta.h"
#include "bank/SubjectFiles.h"
#include "platform/Dialogs.h"
#include "platform/Session.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>

namespace vexamo {

namespace {
constexpr int kTabBien = 0;
constexpr int kTabMal = 1;
constexpr int kTabNada = 2;
} // namespace

void TFormPregunta::StartReview() {
    state_ = State::Reviewing;
    panelRevisar_->show();
    panelRevisar_->raise();
    panelFinTest2_->hide();
    panelProgresar_->hide();
    ResetAnswerLooks();
    for (QLabel* box : respuestas_) box->setCursor(Qt::ArrowCursor);
    FillReviewLists();
    EnableFailureNavigation();
    SelectReviewTab(counts_.wrong > 0 ? kTabMal : kTabNada);
    if (!reviewOpened_ && !OptionsDown()) {
        SetOptionsDown(true);
        reviewExpanded_ = true;
    }
    reviewOpened_ = true;
}

void TFormPregunta::FillReviewLists() {
    for (QListWidget* list : listas_) {
        const QSignalBlocker blocker(list);
        list->clear();
    }
    for (int p = 0; p < Length(); ++p) {
        const auto i = static_cast<std::size_t>(p);
        const int tab = sheet_.given[i] == kNoAnswer             ? kTabNada
                        : sheet_.given[i] == sheet_.correct[i] ? kTabBien
                                                                : kTabMal;
        const QSignalBlocker blocker(listas_[tab]);
        const QString text = QStringLiteral("%1. %2").arg(p + 1).arg(SubjectName(SubjectAt(p)));
        listas_[tab]->addItem(text);
        listas_[tab]->item(listas_[tab]->count() - 1)->setToolTip(text);
    }
}

// The slider and its arrows step through the failures, wrong and blank alike, in screen order.
void TFormPregunta::EnableFailureNavigation() {
    int failures = 0;
    while (NthFailure(failures) >= 0) ++failures;
    const bool any = failures > 0;
    movingSlider_ = true;
    trackBar_->setRange(0, std::max(0, failures - 1));
    failurePlace_ = std::clamp(failurePlace_, 0, std::max(0, failures - 1));
    trackBar_->setValue(failurePlace_);
    movingSlider_ = false;
    for (QWidget* control : {static_cast<QWidget*>(trackBar_), static_cast<QWidget*>(primerFallo_),
                             static_cast<QWidget*>(falloAnterior_),
                             static_cast<QWidget*>(siguienteFallo_),
                             static_cast<QWidget*>(ultimoFallo_)})
        control->setEnabled(any);
}

void TFormPregunta::SelectReviewTab(int tab) {
    if (tab < 0 || tab > 2) return;
    selectingTab_ = true;
    pageControl_->setCurrentIndex(tab);
    selectingTab_ = false;
    QListWidget* list = listas_[tab];
    if (list->count() > 0 && list->currentRow() < 0) {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(0);
    }
    ListClick(tab);
    list->setFocus();
}

void TFormPregunta::ListClick(int tab) {
    if (state_ != State::Reviewing || selectingTab_) return;
    QListWidget* list = listas_[tab];
    const int row = list->currentRow();
    if (row < 0) return;
    const int position = tab == kTabBien ? NthCorrect(row) : tab == kTabMal ? NthWrong(row) : NthBlank(row);
    if (position < 0) return;
    position_ = position;
    const int place = FailurePlaceOf(position);
    if (place >= 0) {
        failurePlace_ = place;
        movingSlider_ = true;
        trackBar_->setValue(place);
        movingSlider_ = false;
    }
    ShowReviewedQuestion(position);
}

bool TFormPregunta::ReviewListKey(int tab, int key) {
    if (state_ != State::Reviewing) return false;
    if (key == Qt::Key_Right && tab < kTabNada) {
        SelectReviewTab(tab + 1);
        return true;
    }
    if (key == Qt::Key_Left && tab > kTabBien) {
        SelectReviewTab(tab - 1);
        return true;
    }
    return false;
}

void TFormPregunta::ShowReviewedQuestion(int position) {
    const auto i = static_cast<std::size_t>(position);
    const std::uint8_t given = sheet_.given[i];
    const std::uint8_t correct = sheet_.correct[i];
    respuestaMal_->setText(given == kNoAnswer ? QStringLiteral("Nada") : LetterText(given));
    respuestaBien_->setText(LetterText(correct));
    ShowQuestion(position);
    highlighted_ = -1;
    for (int n = 0; n < 5; ++n) {
        SetAnswerLook(n, false);
        if (n == correct) {
            const QColor text = given == correct     ? QColor(0, 128, 0)
                                : given == kNoAnswer ? QColor(0, 0, 255)
                                                     : QColor(255, 0, 0);
            StyleAnswer(n, Qt::white, text, true);
        } else if (n == given) {
            StyleAnswer(n, QColor(80, 80, 80), QColor(192, 192, 192), false);
        }
    }
    position_ = position;
    UpdateQuestionLabels();
    int failures = 0;
    while (NthFailure(failures) >= 0) ++failures;
    textoNumFallo_->setText(QStringLiteral("%1/%2").arg(failurePlace_ + 1).arg(failures));
}

void TFormPregunta::ModificarPreguntaClick() {
    if (state_ != State::Reviewing || !session_.IsAdministrator()) return;
    const int position = position_;
    if (position < 0 || position >= Length()) return;
    if (editor_.EditQuestion(SubjectAt(position), QuestionAt(position)) != QDialog::Accepted) return;
    const std::uint8_t letter = ReadCorrect(position);
    if (letter == sheet_.correct[static_cast<std::size_t>(position)]) {
        ShowReviewedQuestion(position);
        return;
    }
    sheet_.correct[static_cast<std::size_t>(position)] = letter;
    StartReview();
}

// ---------------------------------------------------------------------------------------------
// Failure navigation.

int TFormPregunta::FailurePlaceOf(int position) const {
    if (position < 0 || position >= Length()) return -1;
    const auto failed = [this](int p) {
        const auto i = static_cast<std::size_t>(p);
        return sheet_.given[i] == kNoAnswer || sheet_.given[i] != sheet_.correct[i];
    };
    if (!failed(position)) return -1;
    int place = 0;
    for (int p = 0; p < position; ++p) place += failed(p) ? 1 : 0;
    return place;
}

void TFormPregunta::MoveToFailure(int place) {
    if (state_ != State::Reviewing) return;
    const int position = NthFailure(place);
    if (position < 0) return;
    failurePlace_ = place;
    movingSlider_ = true;
    trackBar_->setValue(place);
    movingSlider_ = false;
    // Select the failure in its list: "Mal" for a wrong answer, "Nada" for a blank.
    const bool blank = sheet_.given[static_cast<std::size_t>(position)] == kNoAnswer;
    const int tab = blank ? kTabNada : kTabMal;
    int row = 0;
    while ((blank ? NthBlank(row) : NthWrong(row)) != position) ++row;
    selectingTab_ = true;
    pageControl_->setCurrentIndex(tab);
    {
        const QSignalBlocker blocker(listas_[tab]);
        listas_[tab]->setCurrentRow(row);
    }
    selectingTab_ = false;
    ShowReviewedQuestion(position);
}

void TFormPregunta::PrimerFalloClick() {
    if (failurePlace_ == 0)
        session_.GetDialogs().Information(this, QStringLiteral("\nEs la primera pregunta que fallaste..."));
    else
        MoveToFailure(0);
}

void TFormPregunta::FalloAnteriorClick() {
    if (failurePlace_ == 0)
        session_.GetDialogs().Information(this, QStringLiteral("\nEs la primera pregunta que fallaste..."));
    else
        MoveToFailure(failurePlace_ - 1);
}

void TFormPregunta::SiguienteFalloClick() {
    if (NthFailure(failurePlace_ + 1) < 0)
        session_.GetDialogs().Information(this, QStringLiteral("\nEs la última pregunta que fallaste..."));
    else
        MoveToFailure(failurePlace_ + 1);
}

void TFormPregunta::UltimoFalloClick() {
    int last = 0;
    while (NthFailure(last + 1) >= 0) ++last;
    if (failurePlace_ >= last)
        session_.GetDialogs().Information(this, QStringLiteral("\nEs la última pregunta que fallaste..."));
    else
        MoveToFailure(last);
}

// ---------------------------------------------------------------------------------------------
// Position lookups.

namespace {
template <typename Predicate>
int NthMatching(int k, int length, Predicate matches) {
    if (k < 0) return -1;
    for (int p = 0; p < length; ++p) {
        if (matches(static_cast<std::size_t>(p)) && k-- == 0) return p;
    }
    return -1;
}
} // namespace

int TFormPregunta::NthCorrect(int k) const {
    return NthMatching(k, Length(), [this](std::size_t i) {
        return sheet_.given[i] != kNoAnswer && sheet_.given[i] == sheet_.correct[i];
    });
}

int TFormPregunta::NthWrong(int k) const {
    return NthMatching(k, Length(), [this](std::size_t i) {
        return sheet_.given[i] != kNoAnswer && sheet_.given[i] != sheet_.correct[i];
    });
}

int TFormPregunta::NthBlank(int k) const {
    return NthMatching(k, Length(), [this](std::size_t i) { return sheet_.given[i] == kNoAnswer; });
}

int TFormPregunta::NthFailure(int k) const {
    return NthMatching(k, Length(), [this](std::size_t i) {
        return sheet_.given[i] == kNoAnswer || sheet_.given[i] != sheet_.correct[i];
    });
}

} // namespace vexamo

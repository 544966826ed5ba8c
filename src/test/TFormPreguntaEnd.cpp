// The end of a test: counts, grades, the result in the user's history and the end panel.

#include "test/TFormPregunta.h"

#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "platform/Session.h"
#include "users/UsersFile.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTimer>

#include <exception>

namespace vexamo {

void TFormPregunta::EndTest() {
    timer_->stop();
    if (state_ != State::Running) return;
    state_ = State::Ended;
    const int n = Length();
    counts_ = CountAnswers(sheet_, n, [this](int position) {
        position_ = position;
        return ReadCorrect(position);
    });
    numPreguntas_->setText(QString::number(n));
    numAciertos_->setText(QString::number(counts_.right));
    numFallos_->setText(QString::number(counts_.wrong));
    numBlancos_->setText(QString::number(counts_.blank));
    ComputeGrades();
    if (session_.IsNamedUser()) {
        // The end panel shows whether or not the result could be recorded.
        try {
            session_.Users().RecordResult(ToCp1252(session_.CurrentUserName()), counts_.presented,
                                          counts_.right, counts_.wrong);
        } catch (const std::exception& error) {
            session_.GetDialogs().Error(this, QString::fromUtf8(error.what()));
        }
    }
    const int failures = counts_.Failures();
    labelRevisarSalir_->setText(failures > 0 ? QStringLiteral("revisar los fallos")
                                             : QStringLiteral("volver al menú principal"));
    movingSlider_ = true;
    trackBar_->setRange(0, std::max(0, failures - 1));
    trackBar_->setValue(0);
    movingSlider_ = false;
    failurePlace_ = 0;
    imagenPerfecto_->setVisible(failures == 0);
    ResetAnswerLooks();
    panelProgresar_->hide();
    panelRestar_->show();
    panelFinTest_->show();
    panelFinTest2_->show();
    panelRestar_->raise();
    panelFinTest_->raise();
    panelFinTest2_->raise();
}

bool TFormPregunta::ComputeGrades() {
    const int n = Length();
    if (n == 0 || state_ == State::Running || state_ == State::Closed) return false;
    if (restar_->isChecked() && !IsValidDivisor(ToCp1252(numPreguntasRestar_->text()))) {
        session_.GetDialogs().Error(
            this, QString::fromUtf8(InvalidDivisorMessage(ToCp1252(numPreguntasRestar_->text()))));
        return false;
    }
    const auto grades = vexamo::ComputeGrades(n, counts_.right, counts_.wrong, restar_->isChecked(),
                                              ToCp1252(numPreguntasRestar_->text()));
    if (!grades) return false;
    const QString net = QString::fromUtf8(grades->net);
    const QString overTen = QString::fromUtf8(grades->overTen);
    nota1_->setText(net);
    nota1b_->setText(net);
    nota2_->setText(overTen);
    nota2b_->setText(overTen);
    return true;
}

void TFormPregunta::PanelFinTestClick() {
    if (state_ != State::Ended || !panelFinTest_->isVisibleTo(this)) return;
    panelFinTest_->hide();
    panelFinTest2_->hide();
    if (counts_.Failures() > 0)
        StartReview();
    else
        CloseWindow(QDialog::Accepted);
}

} // namespace vexamo

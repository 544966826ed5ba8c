#include "test/TFormPregunta.h"

#include "authoring/TFormNuevaPregunta.h"
#include "platform/Session.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace vexamo {

TFormPregunta::TFormPregunta(Session& session, TFormNuevaPregunta& editor, QWidget* parent)
    : QDialog(parent), session_(session), editor_(editor) {
    setObjectName(QStringLiteral("FormPregunta"));
    setWindowTitle(QStringLiteral("Test"));
}

TFormPregunta::~TFormPregunta() = default;

void TFormPregunta::TimerTimer() {}
void TFormPregunta::showEvent(QShowEvent* event) { QDialog::showEvent(event); }
void TFormPregunta::closeEvent(QCloseEvent* event) { QDialog::closeEvent(event); }
void TFormPregunta::keyPressEvent(QKeyEvent* event) { QDialog::keyPressEvent(event); }
void TFormPregunta::mousePressEvent(QMouseEvent* event) { QDialog::mousePressEvent(event); }
void TFormPregunta::mouseMoveEvent(QMouseEvent* event) { QDialog::mouseMoveEvent(event); }
bool TFormPregunta::eventFilter(QObject* watched, QEvent* event) {
    return QDialog::eventFilter(watched, event);
}

} // namespace vexamo

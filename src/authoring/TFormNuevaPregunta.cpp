#include "authoring/TFormNuevaPregunta.h"

#include "platform/Session.h"

#include <QKeyEvent>

namespace vexamo {

TFormNuevaPregunta::TFormNuevaPregunta(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName(QStringLiteral("FormNuevaPregunta"));
    setWindowTitle(QStringLiteral("Nueva pregunta"));
}

TFormNuevaPregunta::~TFormNuevaPregunta() = default;

int TFormNuevaPregunta::AddQuestions(int) { return QDialog::Rejected; }

void TFormNuevaPregunta::showEvent(QShowEvent* event) { QDialog::showEvent(event); }
void TFormNuevaPregunta::keyPressEvent(QKeyEvent* event) { QDialog::keyPressEvent(event); }
bool TFormNuevaPregunta::eventFilter(QObject* watched, QEvent* event) {
    return QDialog::eventFilter(watched, event);
}

} // namespace vexamo

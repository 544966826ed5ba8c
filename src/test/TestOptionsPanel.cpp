#include "test/TestOptionsPanel.h"

#include "bank/SubjectListsPanel.h"
#include "platform/Session.h"
#include "test/TFormPregunta.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace vexamo {

TestOptionsPanel::TestOptionsPanel(Session& session, SubjectListsPanel& lists,
                                   TFormPregunta& testWindow, QWidget* parent)
    : QWidget(parent), session_(session), lists_(lists), testWindow_(testWindow) {
    checkerNumPreguntas_ = new QCheckBox(QStringLiteral("Forzar número de preguntas:"), this);
    checkerNumPreguntas_->setObjectName(QStringLiteral("CheckerNumPreguntas"));
    topicOptions_ = new QWidget(this);
}

TestOptionsPanel::~TestOptionsPanel() = default;

void TestOptionsPanel::SetSeedSource(std::function<std::uint32_t()> seedSource) {
    seedSource_ = std::move(seedSource);
}

bool TestOptionsPanel::AssembleTest() { return false; }

void TestOptionsPanel::StartTest() {}

bool TestOptionsPanel::eventFilter(QObject* watched, QEvent* event) {
    return QWidget::eventFilter(watched, event);
}

} // namespace vexamo

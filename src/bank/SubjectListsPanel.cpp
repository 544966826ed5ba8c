#include "bank/SubjectListsPanel.h"

#include "bank/SubjectMaintenance.h"
#include "platform/Session.h"

#include <QMouseEvent>

namespace vexamo {

SubjectListsPanel::SubjectListsPanel(Session& session, QWidget* parent)
    : QWidget(parent), session_(session),
      maintenance_(std::make_unique<SubjectMaintenance>(session, this)) {}

SubjectListsPanel::~SubjectListsPanel() = default;

void SubjectListsPanel::AttachCompanions(QCheckBox* checker, QLineEdit* titulo, QAction* menu) {
    checkerNumPreguntas_ = checker;
    editTitulo_ = titulo;
    menuEliminarExamen_ = menu;
}
void SubjectListsPanel::SetTopicOptions(QWidget*) {}
void SubjectListsPanel::ApplyRole(int currentRole) { admin_ = currentRole == kRoleAdministrator; }
void SubjectListsPanel::FillExamList() {}
void SubjectListsPanel::RebuildLists() {}
int SubjectListsPanel::SelectedExamType() const { return 0; }
bool SubjectListsPanel::IsSpecificMode() const { return false; }
int SubjectListsPanel::SelectedSubject() const { return selectedSubject_; }
std::vector<std::pair<int, int>> SubjectListsPanel::IncludedCounts() const { return {}; }
int SubjectListsPanel::CurrentAvailableSubject() const { return -1; }
QString SubjectListsPanel::EditMateriaText() const { return {}; }
std::uint32_t SubjectListsPanel::LargestSubject() const { return largestSubject_; }
int SubjectListsPanel::IncludedPanelHeight() const { return 0; }
void SubjectListsPanel::SetIncludedPanelHeight(int) {}
void SubjectListsPanel::NuevoExamen() {}
void SubjectListsPanel::EliminarExamen() {}
void SubjectListsPanel::NuevaMateria() {}
void SubjectListsPanel::EliminarMateria() {}
void SubjectListsPanel::BuscarMateria() {}
void SubjectListsPanel::ReiniciarTodasLasMaterias() {}
void SubjectListsPanel::DetectarYRepararErrores() {}
void SubjectListsPanel::mousePressEvent(QMouseEvent* event) { QWidget::mousePressEvent(event); }
bool SubjectListsPanel::eventFilter(QObject* watched, QEvent* event) {
    return QWidget::eventFilter(watched, event);
}

} // namespace vexamo

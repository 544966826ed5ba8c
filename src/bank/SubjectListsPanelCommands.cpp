// The shared name panel and the commands of the subject lists: new and delete exam type,
// new, search, delete, reset and repair of subjects.

#include "bank/SubjectListsPanel.h"

#include "bank/Catalogue.h"
#include "bank/SubjectListsPanelParts.h"
#include "bank/SubjectMaintenance.h"
#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "platform/Session.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSplitter>
#include <QTableWidget>

#include <algorithm>

namespace vexamo {

using namespace listparts;

// ---------------------------------------------------------------------------------------
// The shared name panel

void SubjectListsPanel::OpenNamePanel(NamePanelAction action, const QString& caption, int y) {
    if (!admin_)
        return;
    nameAction_ = action;
    nuevoExamenEdit_->clear();
    labelNuevoNombre_->setText(caption);
    const int width = std::max(200, splitter_->width() - 20);
    panelNuevoExamen_->resize(width, panelNuevoExamen_->sizeHint().height());
    const int maxY = std::max(0, height() - panelNuevoExamen_->height());
    panelNuevoExamen_->move(splitter_->x() + 10, std::clamp(y, 0, maxY));
    panelNuevoExamen_->show();
    panelNuevoExamen_->raise();
    nuevoExamenEdit_->setFocus();
}

void SubjectListsPanel::HideNamePanel() {
    panelNuevoExamen_->hide();
    nameAction_ = NamePanelAction::None;
}

void SubjectListsPanel::BotonNuevoExamenOkClick() {
    if (!panelNuevoExamen_->isVisible() && nameAction_ == NamePanelAction::None)
        return;
    const QString text = nuevoExamenEdit_->text();
    const NamePanelAction action = nameAction_;
    if (text.isEmpty() || !admin_) {
        HideNamePanel();
        return;
    }
    switch (action) {
    case NamePanelAction::NewExamType:
        HideNamePanel();
        NewExamType(text);
        break;
    case NamePanelAction::NewSubject:
        HideNamePanel();
        NewSubject(text);
        break;
    case NamePanelAction::Search:
        if (SearchSubject(text)) {
            HideNamePanel();
        } else {
            maintenance_->ReportSearchFailure();
            nuevoExamenEdit_->selectAll();
            nuevoExamenEdit_->setFocus();
        }
        break;
    case NamePanelAction::None:
        HideNamePanel();
        break;
    }
}

void SubjectListsPanel::NewExamType(const QString& name) {
    std::string bytes;
    if (const QString problem = SubjectMaintenance::NameProblem(name, bytes); !problem.isEmpty()) {
        session_.GetDialogs().Error(this, problem);
        return;
    }
    Catalogue& catalogue = session_.GetCatalogue();
    if (!catalogue.AddExamType(bytes)) {
        // The selection stays where it was; the lists show what the file holds.
        const int selected = SelectedExamType();
        ReportCatalogueError();
        catalogue.LoadCatalogue();
        FillExamList();
        SelectExamType(std::min(selected, comboExamenes_->count() - 1));
        return;
    }
    FillExamList();
    SelectExamType(comboExamenes_->count() - 1);
}

void SubjectListsPanel::NewSubject(const QString& name) {
    const int subject = maintenance_->CreateSubject(name, SelectedExamType());
    if (subject < 0)
        return;
    RebuildLists();
    MakeCurrentSubjectRow(listaOut_, subject);
    SetSelectedSubject(subject);
    if (includeNewSubject_) {
        Catalogue& catalogue = session_.GetCatalogue();
        if (!catalogue.SetSubjectInExam(0, subject, SelectedExamType()))
            ReportCatalogueError();
        RebuildLists();
        MakeCurrentSubjectRow(listaIn_, subject);
        includeNewSubject_ = false;
    }
}

bool SubjectListsPanel::SearchSubject(const QString& text) {
    const QString key = SubjectMaintenance::SearchKey(text);
    for (QTableWidget* list : {listaIn_, listaOut_}) {
        const std::vector<int>& rows = RowsOf(list);
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            if (!SubjectMaintenance::SearchKey(RowName(list, row)).contains(key))
                continue;
            list->scrollToItem(list->item(row, 0));
            list->setCurrentCell(row, 0);
            SetSelectedSubject(rows[static_cast<std::size_t>(row)]);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------
// Commands

void SubjectListsPanel::NuevoExamen() {
    if (!admin_)
        return;
    testGeneral_->setChecked(true);
    OpenNamePanel(NamePanelAction::NewExamType, QStringLiteral("Nuevo tipo de exámen"),
                  splitter_->y() + 46);
}

void SubjectListsPanel::EliminarExamen() {
    if (!admin_)
        return;
    Catalogue& catalogue = session_.GetCatalogue();
    const int exam = SelectedExamType();
    if (catalogue.ExamTypeCount() <= 1) {
        session_.GetDialogs().Error(
            this, QStringLiteral("\nNo se puede eliminar... Sólo queda este tipo de exámen!"));
        return;
    }
    if (exam < 0 || exam >= catalogue.ExamTypeCount())
        return;
    if (session_.GetDialogs().Message(
            this, MessageKind::Warning,
            QStringLiteral("\n¿Seguro que quieres eliminar el tipo de exámen ") +
                Quoted(ExamTypeName(exam)) + QStringLiteral("?"),
            Yes | No | Cancel) != Yes)
        return;
    if (!catalogue.DeleteExamType(exam)) {
        ReportCatalogueError();
        catalogue.LoadCatalogue();
    }
    FillExamList();
    SelectExamType(comboExamenes_->count() - 1);
}

void SubjectListsPanel::NuevaMateria() {
    if (!admin_)
        return;
    includeNewSubject_ = false;
    OpenNamePanel(NamePanelAction::NewSubject, QStringLiteral("Nueva materia"),
                  listaOut_->mapTo(this, QPoint(0, 0)).y());
}

void SubjectListsPanel::PopupNuevaMateria() {
    OpenNamePanel(NamePanelAction::NewSubject, QStringLiteral("Nueva materia"), namePanelRowY_);
}

void SubjectListsPanel::BuscarMateria() {
    if (!admin_)
        return;
    OpenNamePanel(NamePanelAction::Search, QStringLiteral("Buscar materia"), splitter_->y() + 6);
}

void SubjectListsPanel::EliminarMateria() {
    if (!admin_)
        return;
    const Catalogue& catalogue = session_.GetCatalogue();
    const int subject = selectedSubject_;
    if (subject < 0 || subject >= catalogue.SubjectCount())
        return;
    maintenance_->DeleteSubject(
        subject, ToQString(catalogue.subjectNames[static_cast<std::size_t>(subject)]));
}

QTableWidget* SubjectListsPanel::PopupList() const {
    return popupList_ ? popupList_ : listaOut_;
}

std::pair<int, QString> SubjectListsPanel::PopupSubject() const {
    const QTableWidget* list = PopupList();
    const int row = list->currentRow();
    return {RowSubject(list, row), RowName(list, row)};
}

void SubjectListsPanel::PopupEliminarMateria() {
    if (!admin_)
        return;
    const auto [subject, name] = PopupSubject();
    if (subject < 0)
        return;
    maintenance_->DeleteSubject(subject, name);
}

void SubjectListsPanel::PopupReiniciarPreguntas() {
    if (!admin_)
        return;
    const auto [subject, name] = PopupSubject();
    if (subject < 0)
        return;
    maintenance_->ResetSubject(subject, name);
}

void SubjectListsPanel::PopupRepararMateria() {
    if (!admin_)
        return;
    const int subject = PopupSubject().first;
    if (subject < 0)
        return;
    maintenance_->RepairSubject(subject);
}

void SubjectListsPanel::ReiniciarTodasLasMaterias() {
    if (!admin_)
        return;
    maintenance_->ResetAllSubjects();
}

void SubjectListsPanel::DetectarYRepararErrores() {
    if (!admin_)
        return;
    progress_->setRange(0, std::max(1, session_.GetCatalogue().SubjectCount()));
    progress_->setValue(0);
    progress_->show();
    maintenance_->RepairAllSubjects([this](int done, int total) {
        progress_->setRange(0, std::max(1, total));
        progress_->setValue(done);
        if (done >= total)
            progress_->hide();
        // Painted at once: running the event loop here would let timers start other work
        // on the catalogue in the middle of the repair.
        progress_->repaint();
    });
    progress_->hide();
}

} // namespace vexamo

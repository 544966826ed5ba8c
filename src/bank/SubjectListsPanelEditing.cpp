// Editing in the subject lists: counts, inclusion, renaming, the count panel, row clicks
// and the pop-up menus.

#include "bank/SubjectListsPanel.h"

#include "bank/Catalogue.h"
#include "bank/SubjectListsPanelParts.h"
#include "bank/SubjectMaintenance.h"
#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "platform/Session.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTableWidget>

#include <algorithm>

namespace vexamo {

using namespace listparts;

// ---------------------------------------------------------------------------------------
// Counts, include, exclude, rename

void SubjectListsPanel::ListaMateriasInChange(QTableWidgetItem* item) {
    if (!listsReady_ || !admin_ || !item)
        return;
    const int row = item->row();
    const int subject = RowSubject(listaIn_, row);
    if (subject < 0)
        return;
    if (item->column() == 0) {
        if (nameDelegate_->TakeEnter()) {
            RenameRow(row);
        } else {
            // Only Enter renames: any other change of the name cell is undone.
            SetCellQuietly(item, ToQString(session_.GetCatalogue()
                                               .subjectNames[static_cast<std::size_t>(subject)]));
        }
        return;
    }
    Catalogue& catalogue = session_.GetCatalogue();
    bool ok = false;
    const qint64 typed = item->text().trimmed().toLongLong(&ok);
    if (!ok)
        return; // not a number: nothing is stored and the cell keeps the text
    const std::uint32_t available =
        catalogue.subjects[static_cast<std::size_t>(subject)].QuestionCount();
    // Negative numbers count as larger than any count, as unsigned numbers do. The count is
    // stored in one byte, so the cell shows no more than the catalogue can hold.
    std::uint32_t value = typed < 0 || typed > static_cast<qint64>(available)
                              ? available
                              : static_cast<std::uint32_t>(typed);
    value = std::min<std::uint32_t>(value, 255);
    if (QString::number(value) != item->text())
        SetCellQuietly(item, QString::number(value));
    if (!catalogue.SetSubjectInExam(static_cast<int>(value), subject, SelectedExamType()))
        ReportCatalogueError();
    UpdateTestTotal();
}

void SubjectListsPanel::RenameRow(int row) {
    const int subject = RowSubject(listaIn_, row);
    QTableWidgetItem* item = listaIn_->item(row, 0);
    if (subject < 0 || !item)
        return;
    Catalogue& catalogue = session_.GetCatalogue();
    const QString oldName = ToQString(catalogue.subjectNames[static_cast<std::size_t>(subject)]);
    const QString newName = item->text();
    if (newName == oldName)
        return;
    auto restore = [&] { SetCellQuietly(item, oldName); };
    if (newName.isEmpty()) {
        restore();
        session_.GetDialogs().Error(
            this, QStringLiteral("\nEl nombre de la materia no puede quedar vacío."));
        return;
    }
    std::string bytes;
    if (const QString problem = SubjectMaintenance::NameProblem(newName, bytes);
        !problem.isEmpty()) {
        restore();
        session_.GetDialogs().Error(this, problem);
        return;
    }
    if (!catalogue.RenameSubject(subject, bytes)) {
        restore();
        const int other = catalogue.FindSubject(bytes);
        session_.GetDialogs().Error(
            this, other >= 0
                      ? QStringLiteral("\nYa existe una materia llamada ") + Quoted(newName) +
                            QStringLiteral(": elige otro nombre.")
                      : QStringLiteral("\nNo se ha podido cambiar el nombre de la materia ") +
                            Quoted(oldName) + QStringLiteral(".") +
                            QString::fromStdString(catalogue.ErrorString()));
    }
}

void SubjectListsPanel::ListaMateriasInDblClick(int row) {
    if (!admin_ || IsSpecificMode())
        return;
    const int subject = RowSubject(listaIn_, row);
    if (subject < 0)
        return;
    Catalogue& catalogue = session_.GetCatalogue();
    if (!catalogue.SetSubjectInExam(-1, subject, SelectedExamType()))
        ReportCatalogueError();
    RebuildLists();
    MakeCurrentSubjectRow(listaOut_, subject);
}

void SubjectListsPanel::ListaMateriasOutDblClick(int row) {
    if (!admin_ || IsSpecificMode())
        return;
    const int subject = RowSubject(listaOut_, row);
    const int exam = SelectedExamType();
    Catalogue& catalogue = session_.GetCatalogue();
    if (subject < 0 || exam < 0 || exam >= catalogue.ExamTypeCount())
        return;
    const int count = catalogue.examTypes[static_cast<std::size_t>(exam)].QuestionsFor(subject);
    if (!catalogue.SetSubjectInExam(count, subject, exam))
        ReportCatalogueError();
    RebuildLists();
    listaIn_->setFocus();
    MakeCurrentSubjectRow(listaIn_, subject);
}

void SubjectListsPanel::EllipsisClick(int row) {
    if (!admin_ || RowSubject(listaIn_, row) < 0)
        return;
    countRow_ = row;
    const int value = CellInteger(listaIn_->item(row, 1)).value_or(0);
    // A count above the arrows' range is shown as it is, not cut to 100.
    editNumPreguntas_->setRange(0, std::max(100, value));
    editNumPreguntas_->setValue(std::max(0, value));
    const QRect cell = listaIn_->visualItemRect(listaIn_->item(row, 1));
    const QPoint at = listaIn_->viewport()->mapTo(this, cell.topRight());
    panelNumPreguntas_->adjustSize();
    const int x = std::clamp(at.x() + 2, 0, std::max(0, width() - panelNumPreguntas_->width()));
    const int y = std::clamp(at.y(), 0, std::max(0, height() - panelNumPreguntas_->height()));
    panelNumPreguntas_->move(x, y);
    panelNumPreguntas_->show();
    panelNumPreguntas_->raise();
    editNumPreguntas_->setFocus();
    editNumPreguntas_->selectAll();
}

void SubjectListsPanel::BotonNumPreguntasOkClick() {
    panelNumPreguntas_->hide();
    const int row = countRow_;
    countRow_ = -1;
    if (RowSubject(listaIn_, row) < 0)
        return;
    listaIn_->setCurrentCell(row, 1);
    listaIn_->item(row, 1)->setText(editNumPreguntas_->text());
}

void SubjectListsPanel::BotonNumPreguntasCancelClick() {
    panelNumPreguntas_->hide();
    countRow_ = -1;
}

// ---------------------------------------------------------------------------------------
// Clicks and pop-ups

int SubjectListsPanel::ListRowY(const QTableWidget* list, int row) const {
    const QTableWidgetItem* item = list->item(row, 0);
    const QRect rect = item ? list->visualItemRect(item) : QRect();
    return list->viewport()->mapTo(this, rect.topLeft()).y();
}

void SubjectListsPanel::ListClicked(QTableWidget* list, int row) {
    if (!admin_)
        return;
    panelNuevoExamen_->hide();
    includeNewSubject_ = list == listaIn_;
    const int subject = RowSubject(list, row);
    if (row >= 0 && row < list->rowCount()) {
        list->setCurrentCell(row, list->currentColumn() < 0 ? 0 : list->currentColumn());
        if (subject >= 0)
            SetSelectedSubject(subject);
        UpdateDeleteAction(list);
        namePanelRowY_ = ListRowY(list, row);
    }
}

void SubjectListsPanel::ShowListMenu(QTableWidget* list, const QPoint& pos) {
    if (!admin_)
        return;
    popupList_ = list;
    UpdateDeleteAction(list);
    (list == listaIn_ ? menuIn_ : menuOut_)->popup(list->viewport()->mapToGlobal(pos));
}

void SubjectListsPanel::UpdateDeleteAction(const QTableWidget* list) {
    (list == listaIn_ ? popupEliminarIn_ : popupEliminarOut_)->setEnabled(HasDataRows(list));
}

void SubjectListsPanel::ShowExamMenu(const QPoint& pos) {
    if (!admin_)
        return;
    popupEliminarExamen_->setEnabled(!IsSpecificMode());
    menuExamenes_->popup(comboExamenes_->mapToGlobal(pos));
}

bool SubjectListsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == listaIn_->viewport() || watched == listaOut_->viewport())) {
        QTableWidget* list = watched == listaIn_->viewport() ? listaIn_ : listaOut_;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        ListClicked(list, list->rowAt(mouse->position().toPoint().y()));
    } else if (watched == nuevoExamenEdit_ && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        HideNamePanel();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SubjectListsPanel::mousePressEvent(QMouseEvent* event) {
    HideNamePanel();
    QWidget::mousePressEvent(event);
}

} // namespace vexamo

#include "bank/SubjectMaintenance.h"

#include "bank/Catalogue.h"
#include "bank/SubjectFiles.h"
#include "bank/SubjectListsPanelParts.h"
#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "platform/Session.h"

#include <QApplication>
#include <QLocale>
#include <QStringList>

#include <string>
#include <utility>

namespace vexamo {

namespace {

constexpr int kYesNoCancel = Yes | No | Cancel;

using listparts::Quoted;

// Busy cursor for the duration of a long operation; gone before any message box opens.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { Restore(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    void Restore() {
        if (active_)
            QApplication::restoreOverrideCursor();
        active_ = false;
    }

  private:
    bool active_ = true;
};

} // namespace

SubjectMaintenance::SubjectMaintenance(Session& session, QWidget* parent,
                                       std::function<void()> rebuildLists)
    : session_(session), parent_(parent), rebuildLists_(std::move(rebuildLists)) {}

Dialogs& SubjectMaintenance::Boxes() {
    return session_.GetDialogs();
}

void SubjectMaintenance::Rebuild() {
    if (rebuildLists_)
        rebuildLists_();
}

bool SubjectMaintenance::IsSubject(int subject) const {
    return subject >= 0 && subject < session_.GetCatalogue().SubjectCount();
}

QString SubjectMaintenance::NameProblem(const QString& name, std::string& cp1252) {
    bool lossless = true;
    cp1252 = ToCp1252(name, &lossless);
    if (!lossless)
        return QStringLiteral("\nEl nombre contiene caracteres que no se pueden guardar.");
    if (cp1252.size() > static_cast<std::size_t>(kMaxNameLength))
        return QStringLiteral("\nEl nombre es demasiado largo: admite como máximo 62 caracteres.");
    if (!Catalogue::IsValidName(cp1252))
        return QStringLiteral("\nEl nombre no es válido.");
    return {};
}

int SubjectMaintenance::CreateSubject(const QString& name, int selectedExamType) {
    Catalogue& catalogue = session_.GetCatalogue();
    std::string bytes;
    if (const QString problem = NameProblem(name, bytes); !problem.isEmpty()) {
        Boxes().Error(parent_, problem);
        return -1;
    }
    if (catalogue.SubjectCount() >= kMaxSubjects) {
        Boxes().Error(parent_,
                      QStringLiteral("\nNo se pueden crear más materias: el máximo es de 128."));
        return -1;
    }
    // A name the catalogue already has, or one that cannot be a folder, is refused the same
    // way: the folder cannot be created.
    if (!catalogue.AddSubject(bytes, selectedExamType)) {
        Boxes().Error(parent_, QStringLiteral("\nEsa materia ya existe!"));
        return -1;
    }
    return catalogue.FindSubject(bytes);
}

bool SubjectMaintenance::DeleteSubject(int subject, const QString& name) {
    if (!IsSubject(subject))
        return false;
    if (Boxes().Message(parent_, MessageKind::Warning,
                        QStringLiteral("\n¿Eliminar completamente la materia ") + Quoted(name) +
                            QStringLiteral("?"),
                        kYesNoCancel) != Yes)
        return false;
    if (Boxes().Message(
            parent_, MessageKind::Warning,
            QStringLiteral("\n¡¿SEGURO?! Se borrará la materia y todas sus preguntas..."),
            kYesNoCancel) != Yes)
        return false;
    Catalogue& catalogue = session_.GetCatalogue();
    const bool deleted = catalogue.DeleteSubject(subject);
    const QString why = QString::fromStdString(catalogue.ErrorString());
    if (!deleted)
        catalogue.LoadCatalogue();
    Rebuild();
    if (!deleted) {
        Boxes().Error(parent_, QStringLiteral("\nNo se ha podido eliminar la materia ") +
                                   Quoted(name) + QStringLiteral(".") + why);
        return false;
    }
    Boxes().Information(parent_, QStringLiteral("\nLa materia ") + Quoted(name) +
                                     QStringLiteral(" ha sido eliminada de la base de datos"));
    return true;
}

bool SubjectMaintenance::ResetSubject(int subject, const QString& name) {
    if (!IsSubject(subject))
        return false;
    if (Boxes().Message(
            parent_, MessageKind::Warning,
            QStringLiteral("\n¿Seguro que quieres reiniciar las preguntas de la materia ") +
                Quoted(name) + QStringLiteral("?"),
            kYesNoCancel) != Yes)
        return false;
    ClearAsked(PathsOf(session_.GetCatalogue(), subject));
    Boxes().Information(
        parent_, QStringLiteral("\nSe han reiniciado las preguntas de la materia ") + Quoted(name));
    return true;
}

bool SubjectMaintenance::ResetAllSubjects() {
    if (Boxes().Message(
            parent_, MessageKind::Confirmation,
            QStringLiteral("\n¿Seguro que quieres reiniciar el historial de preguntas realizadas?"),
            kYesNoCancel) != Yes)
        return false;
    {
        BusyCursor busy;
        const Catalogue& catalogue = session_.GetCatalogue();
        for (int subject = 0; subject < catalogue.SubjectCount(); ++subject)
            ClearAsked(PathsOf(catalogue, subject));
    }
    Boxes().Information(parent_, QStringLiteral("\nSe han reiniciado todas las materias"));
    return true;
}

bool SubjectMaintenance::RepairSubject(int subject) {
    if (!IsSubject(subject))
        return false;
    Catalogue& catalogue = session_.GetCatalogue();
    const QString oldName = ToQString(catalogue.subjectNames[static_cast<std::size_t>(subject)]);
    bool repaired = false;
    {
        BusyCursor busy;
        repaired = RebuildIndex(catalogue, subject);
        catalogue.LoadCatalogue();
        Rebuild();
    }
    if (!repaired) {
        Boxes().Error(parent_,
                      QStringLiteral("\nNo se ha podido reparar la materia ") + Quoted(oldName));
        return false;
    }
    const QString name = IsSubject(subject)
                             ? ToQString(catalogue.subjectNames[static_cast<std::size_t>(subject)])
                             : oldName;
    Boxes().Information(parent_, QStringLiteral("\nLa materia ") + Quoted(name) +
                                     QStringLiteral(" ha sido revisada"));
    return true;
}

void SubjectMaintenance::RepairAllSubjects(const std::function<void(int, int)>& progress) {
    Catalogue& catalogue = session_.GetCatalogue();
    QStringList failed;
    {
        BusyCursor busy;
        const int total = catalogue.SubjectCount();
        for (int subject = 0; subject < total; ++subject) {
            if (progress)
                progress(subject, total);
            if (!RebuildIndex(catalogue, subject))
                failed << Quoted(
                    ToQString(catalogue.subjectNames[static_cast<std::size_t>(subject)]));
        }
        if (progress)
            progress(total, total);
        catalogue.LoadCatalogue();
        Rebuild();
    }
    if (!failed.isEmpty()) {
        Boxes().Error(parent_, QStringLiteral("\nNo se han podido reparar estas materias: ") +
                                   failed.join(QStringLiteral(", ")));
        return;
    }
    Boxes().Information(parent_, QStringLiteral("\nTodas las materias han sido revisadas"));
}

void SubjectMaintenance::ReportSearchFailure() {
    Boxes().Error(parent_,
                  QStringLiteral("\nNo se ha encontrado ninguna materia con ese nombre..."));
}

QString SubjectMaintenance::SearchKey(const QString& text) {
    return QLocale(QLocale::Spanish, QLocale::Spain).toUpper(text);
}

} // namespace vexamo

#pragma once
// The administrator's commands on whole subjects: create, delete, reset the asked flags and
// repair the indexes, with their confirmations and messages. The subject lists decide which
// subject a command acts on and rebuild themselves afterwards; the file work is done by the
// catalogue and subject-file operations.

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace vexamo {

class Dialogs;
class Session;

class SubjectMaintenance {
  public:
    // `parent` owns the message boxes; `rebuildLists` refreshes the lists after the
    // catalogue changed.
    SubjectMaintenance(Session& session, QWidget* parent, std::function<void()> rebuildLists);

    // Why `name` cannot name a subject or an exam type (a Spanish message), or empty when it
    // can; `cp1252` receives its stored form.
    static QString NameProblem(const QString& name, std::string& cp1252);

    // Adds the subject (its count byte set to 0 in `selectedExamType`). Returns its number,
    // or -1 after telling the user why not.
    int CreateSubject(const QString& name, int selectedExamType);

    // The two warnings, the deletion and the final information. True when deleted.
    bool DeleteSubject(int subject, const QString& name);
    // Warning, then the asked flags of the subject are cleared. True when reset.
    bool ResetSubject(int subject, const QString& name);
    // Confirmation, then every subject's flags are cleared. True when reset.
    bool ResetAllSubjects();
    // Rebuilds one subject's index, reloads the catalogue and reports. False for no such
    // subject or when the index cannot be written.
    bool RepairSubject(int subject);
    // Rebuilds every index, reloads the catalogue and reports. `progress` (may be empty) is
    // called before each subject with (subjects done, total).
    void RepairAllSubjects(const std::function<void(int, int)>& progress = {});

    void ReportSearchFailure();

    // Locale-aware capitals, as the search compares names.
    static QString SearchKey(const QString& text);

  private:
    bool IsSubject(int subject) const;
    Dialogs& Boxes();
    void Rebuild();

    Session& session_;
    QWidget* parent_;
    std::function<void()> rebuildLists_;
};

} // namespace vexamo

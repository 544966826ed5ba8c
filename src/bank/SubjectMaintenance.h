#pragma once
// The administrator's commands on whole subjects: create, delete, reset the asked flags and
// repair the indexes, with their confirmations and messages. The subject lists decide which
// subject a command acts on and rebuild themselves afterwards; the file work is done by the
// catalogue and subject-file operations.

#include <QString>

#include <functional>

class QWidget;

namespace vexamo {

class Session;

class SubjectMaintenance {
public:
    // `parent` owns the message boxes.
    SubjectMaintenance(Session& session, QWidget* parent);

    // Adds the subject (its count byte set to 0 in `selectedExamType`). Returns its number,
    // or -1 after telling the user why not.
    int CreateSubject(const QString& name, int selectedExamType);

    // The two warnings, the deletion and the final information. True when deleted.
    bool DeleteSubject(int subject, const QString& name);
    // Warning, then the asked flags of the subject are cleared. True when reset.
    bool ResetSubject(int subject, const QString& name);
    // Confirmation, then every subject's flags are cleared. True when reset.
    bool ResetAllSubjects();
    // Rebuilds one subject's index and reloads the catalogue. False for no such subject.
    bool RepairSubject(int subject);
    // Rebuilds every index, reloads the catalogue and reports. `progress` (may be empty) is
    // called before each subject with (subjects done, total).
    void RepairAllSubjects(const std::function<void(int, int)>& progress = {});

    void ReportSearchFailure();

    // Locale-aware capitals, as the search compares names.
    static QString SearchKey(const QString& text);

private:
    bool IsSubject(int subject) const;

    Session& session_;
    QWidget* parent_;
};

} // namespace vexamo

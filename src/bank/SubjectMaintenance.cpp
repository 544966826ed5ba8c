#include "bank/SubjectMaintenance.h"

#include "platform/Session.h"

#include <QLocale>

namespace vexamo {

SubjectMaintenance::SubjectMaintenance(Session& session, QWidget* parent)
    : session_(session), parent_(parent) {}

int SubjectMaintenance::CreateSubject(const QString&, int) { return -1; }
bool SubjectMaintenance::DeleteSubject(int, const QString&) { return false; }
bool SubjectMaintenance::ResetSubject(int, const QString&) { return false; }
bool SubjectMaintenance::ResetAllSubjects() { return false; }
bool SubjectMaintenance::RepairSubject(int) { return false; }
void SubjectMaintenance::RepairAllSubjects(const std::function<void(int, int)>&) {}
void SubjectMaintenance::ReportSearchFailure() {}
QString SubjectMaintenance::SearchKey(const QString& text) { return QLocale().toUpper(text); }
bool SubjectMaintenance::IsSubject(int) const { return false; }

} // namespace vexamo

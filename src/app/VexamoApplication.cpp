#include "app/VexamoApplication.h"

#include "platform/Dialogs.h"

#include <QGuiApplication>
#include <cstdio>
#include <exception>

namespace vexamo {

namespace {

void Report(Dialogs* dialogs, const QString& text) {
    // The box must be usable even if the failure came with a busy cursor on.
    while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
    if (dialogs != nullptr) {
        dialogs->Error(nullptr, text);
    } else {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
}

} // namespace

bool DeliverReportingErrors(const std::function<bool()>& deliver, Dialogs* dialogs) {
    try {
        return deliver();
    } catch (const std::exception& e) {
        Report(dialogs, QString::fromUtf8(e.what()));
    } catch (...) {
        Report(dialogs, QStringLiteral("Error desconocido"));
    }
    return false;
}

VexamoApplication::VexamoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VexamoApplication::notify(QObject* receiver, QEvent* event) {
    return DeliverReportingErrors([&] { return QApplication::notify(receiver, event); }, dialogs_);
}

} // namespace vexamo

// Program entry: the application, the single-instance guard and the main window.
#include "app/TForm1.h"
#include "app/VexamoApplication.h"
#include "platform/Dialogs.h"
#include "platform/SingleInstance.h"

#include <QFont>
#include <QLocale>
#include <filesystem>

int main(int argc, char** argv) {
    vexamo::VexamoApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vexamo"));
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));

    // A second start hands its parameters to the running program and ends.
    vexamo::SingleInstance guard(vexamo::SingleInstance::DefaultServerName());
    if (guard.HandOver(QCoreApplication::arguments().mid(1))) return 0;
    guard.Listen();

    vexamo::QtDialogs dialogs;
    app.SetDialogs(&dialogs);
    // Everything the program keeps lives beside the executable.
    const std::filesystem::path dataFolder(QCoreApplication::applicationDirPath().toStdString());
    vexamo::TForm1 form(dataFolder, dialogs);
    QObject::connect(&guard, &vexamo::SingleInstance::ParametersReceived, &form,
                     &vexamo::TForm1::ReceiveParameters);
    // The first show runs the log-in before the event loop is up: its errors are reported too.
    vexamo::DeliverReportingErrors([&] {
        form.show();
        return true;
    }, &dialogs);
    return app.exec();
}

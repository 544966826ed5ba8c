#pragma once
// The application object: an exception that escapes an event handler is shown in an "Error"
// box with its text, and the program goes on.

#include <QApplication>
#include <functional>

namespace vexamo {

class Dialogs;

// Runs `deliver`; when it throws, shows the exception's text as an error through `dialogs`
// (when given) and returns false, as for an event nobody handled.
bool DeliverReportingErrors(const std::function<bool()>& deliver, Dialogs* dialogs);

class VexamoApplication : public QApplication {
    Q_OBJECT
public:
    VexamoApplication(int& argc, char** argv);
    void SetDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    Dialogs* dialogs_ = nullptr;
};

} // namespace vexamo

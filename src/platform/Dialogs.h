#pragma once
// Every message box and modal window of the program goes through Dialogs, so that window
// tests can script the answers and read the texts instead of blocking on a modal loop.

#include <QColor>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace vexamo {

enum class MessageKind { Error, Warning, Information, Confirmation };

// Buttons of a message box; titles and captions are the toolkit's own English ones
// ("Error", "Warning", "Information", "Confirm"; "&Yes", "&No", "OK", "Cancel").
enum DialogButton : int { Ok = 1, Yes = 2, No = 4, Cancel = 8 };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows a message and returns the button pressed (Cancel when the box is closed).
    virtual DialogButton Message(QWidget* parent, MessageKind kind, const QString& text,
                                 int buttons) = 0;
    // Runs a modal window and returns its result (QDialog::Accepted or Rejected).
    virtual int Exec(QDialog* dialog) = 0;
    // File and folder choosers; an empty result means cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QStringList OpenFileNames(QWidget* parent, const QString& caption,
                                      const QString& folder, const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& path,
                                 const QString& filter) = 0;
    virtual QString ExistingFolder(QWidget* parent, const QString& caption,
                                   const QString& folder) = 0;
    // Invalid colour when cancelled.
    virtual QColor Color(QWidget* parent, const QColor& initial) = 0;

    // Conveniences over Message.
    void Error(QWidget* parent, const QString& text) {
        Message(parent, MessageKind::Error, text, Ok);
    }
    void Information(QWidget* parent, const QString& text) {
        Message(parent, MessageKind::Information, text, Ok);
    }
    void Warning(QWidget* parent, const QString& text) {
        Message(parent, MessageKind::Warning, text, Ok);
    }
    // Yes/No confirmation: true only for Yes.
    bool Confirm(QWidget* parent, const QString& text, MessageKind kind = MessageKind::Confirmation) {
        return Message(parent, kind, text, Yes | No) == Yes;
    }
};

// The real boxes: QMessageBox, QFileDialog, QColorDialog and QDialog::exec.
class QtDialogs : public Dialogs {
public:
    DialogButton Message(QWidget* parent, MessageKind kind, const QString& text,
                         int buttons) override;
    int Exec(QDialog* dialog) override;
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QStringList OpenFileNames(QWidget* parent, const QString& caption, const QString& folder,
                              const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& path,
                         const QString& filter) override;
    QString ExistingFolder(QWidget* parent, const QString& caption, const QString& folder) override;
    QColor Color(QWidget* parent, const QColor& initial) override;
};

} // namespace vexamo

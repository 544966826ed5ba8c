#include "platform/Dialogs.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace vexamo {

DialogButton QtDialogs::Message(QWidget* parent, MessageKind kind, const QString& text,
                                int buttons) {
    QMessageBox::Icon icon = QMessageBox::Information;
    QString title = QStringLiteral("Information");
    switch (kind) {
    case MessageKind::Error:
        icon = QMessageBox::Critical;
        title = QStringLiteral("Error");
        break;
    case MessageKind::Warning:
        icon = QMessageBox::Warning;
        title = QStringLiteral("Warning");
        break;
    case MessageKind::Confirmation:
        icon = QMessageBox::Question;
        title = QStringLiteral("Confirm");
        break;
    case MessageKind::Information:
        break;
    }
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    if (buttons & Yes) box.addButton(QMessageBox::Yes)->setText(QStringLiteral("&Yes"));
    if (buttons & No) box.addButton(QMessageBox::No)->setText(QStringLiteral("&No"));
    if (buttons & Ok) box.addButton(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    if (buttons & Cancel) box.addButton(QMessageBox::Cancel)->setText(QStringLiteral("Cancel"));
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    case QMessageBox::Ok:
        return Ok;
    default:
        return Cancel;
    }
}

int QtDialogs::Exec(QDialog* dialog) { return dialog->exec(); }

QString QtDialogs::OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QStringList QtDialogs::OpenFileNames(QWidget* parent, const QString& caption,
                                     const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileNames(parent, caption, folder, filter);
}

QString QtDialogs::SaveFileName(QWidget* parent, const QString& caption, const QString& path,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, path, filter);
}

QString QtDialogs::ExistingFolder(QWidget* parent, const QString& caption, const QString& folder) {
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

QColor QtDialogs::Color(QWidget* parent, const QColor& initial) {
    return QColorDialog::getColor(initial, parent);
}

} // namespace vexamo

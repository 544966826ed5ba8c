#include "users/DialogParts.h"

#include "platform/QtText.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vexamo::accounts {

QLineEdit* MakeField(QWidget* parent, const char* objectName, bool password) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(objectName));
    field->setMaxLength(kFieldLength);
    if (password) {
        field->setEchoMode(QLineEdit::Password);
        // "*" for each character, whatever the style's own mask character is.
        field->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    }
    return field;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, const char* objectName) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

void FinishDialog(QDialog* dialog, const QString& caption, const char* objectName) {
    dialog->setObjectName(QString::fromLatin1(objectName));
    dialog->setWindowTitle(caption);
    dialog->setModal(true);
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    if (dialog->layout()) dialog->layout()->setSizeConstraint(QLayout::SetFixedSize);
    // Drawn as the default button; Enter itself is handled by each dialog.
    auto* ok =
        dialog->findChild<QPushButton*>(QStringLiteral("BotonOk"), Qt::FindDirectChildrenOnly);
    if (ok) ok->setDefault(true);
}

bool IsEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

bool Storable(const QString& text) {
    bool lossless = true;
    ToCp1252(text, &lossless);
    return lossless;
}

void ClearAndFocus(QLineEdit* field) {
    field->clear();
    field->setFocus(Qt::OtherFocusReason);
}

} // namespace vexamo::accounts

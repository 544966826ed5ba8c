#include "users/DialogParts.h"

#include "platform/QtText.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

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

AccountDialog::AccountDialog(TArchivoVexamousers& users, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), users_(users), dialogs_(dialogs) {}

void AccountDialog::MakeOkAndCancel() {
    botonCancelar_ = MakeButton(this, QStringLiteral("Cancelar"), "BotonCancelar");
    botonOk_ = MakeButton(this, QStringLiteral("Ok"), "BotonOk");
}

void AccountDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void AccountDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void LayOutFields(QDialog* dialog, std::initializer_list<FieldRow> rows, QPushButton* cancel,
                  QPushButton* ok) {
    auto* fields = new QGridLayout;
    int row = 0;
    for (const FieldRow& r : rows) {
        auto* label = new QLabel(QString::fromUtf8(r.caption), dialog);
        label->setObjectName(QString::fromLatin1(r.labelName));
        label->setBuddy(r.field);
        fields->addWidget(label, row, 0);
        fields->addWidget(r.field, row, 1);
        ++row;
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(fields);
    layout->addLayout(buttons);
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

bool SamePasswords(const QLineEdit* first, const QLineEdit* second) {
    return !first->text().isEmpty() && first->text() == second->text();
}

void RefusePasswords(Dialogs& dialogs, QWidget* parent, const QString& message, QLineEdit* first,
                     QLineEdit* second) {
    dialogs.Error(parent, message);
    second->clear();
    ClearAndFocus(first);
}

bool CheckRepeatedPassword(Dialogs& dialogs, QWidget* parent, const QString& mismatch,
                           QLineEdit* first, QLineEdit* second) {
    if (!SamePasswords(first, second)) {
        RefusePasswords(dialogs, parent, mismatch, first, second);
        return false;
    }
    if (!Storable(first->text())) {
        RefusePasswords(dialogs, parent, QString::fromUtf8(kPasswordNotStorable), first, second);
        return false;
    }
    return true;
}

} // namespace vexamo::accounts

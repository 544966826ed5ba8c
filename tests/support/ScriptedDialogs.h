#pragma once
// Dialogs for window tests: every prompt takes the next scripted answer and every message is
// recorded. A prompt nobody scripted, or answers left over at the end, fail the test.

#include "platform/Dialogs.h"

#include <QDialog>
#include <deque>
#include <functional>
#include <vector>

namespace vexamo::testing {

struct ShownMessage {
    MessageKind kind;
    QString text;
    int buttons;
};

class ScriptedDialogs : public Dialogs {
public:
    ~ScriptedDialogs() override; // fails the running test when answers are left over

    // Answer for the next message box (Ok for plain messages is implied: see Message).
    void ExpectMessage(DialogButton answer);
    // Handler for the next modal window: it fills the window in and returns the result that
    // exec() would have returned (it may also call accept()/reject() on the dialog).
    void ExpectExec(std::function<int(QDialog*)> handler);
    void ExpectFileName(const QString& name); // for the next file or folder chooser
    void ExpectColor(const QColor& color);

    // Boxes with only an OK button need no script: they are answered Ok and recorded.
    DialogButton Message(QWidget* parent, MessageKind kind, const QString& text,
                         int buttons) override;
    int Exec(QDialog* dialog) override;
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QStringList OpenFileNames(QWidget*, const QString&, const QString&, const QString&) override;
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QString ExistingFolder(QWidget*, const QString&, const QString&) override;
    QColor Color(QWidget*, const QColor&) override;

    const std::vector<ShownMessage>& Messages() const { return messages_; }
    QString LastMessage() const { return messages_.empty() ? QString() : messages_.back().text; }
    void ClearMessages() { messages_.clear(); }
    bool AllAnswersUsed() const;

private:
    std::deque<DialogButton> answers_;
    std::deque<std::function<int(QDialog*)>> execs_;
    std::deque<QString> names_;
    std::deque<QColor> colors_;
    std::vector<ShownMessage> messages_;
};

} // namespace vexamo::testing

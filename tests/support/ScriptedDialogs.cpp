#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace vexamo::testing {

ScriptedDialogs::~ScriptedDialogs() {
    EXPECT_TRUE(AllAnswersUsed()) << "scripted answers left over: " << answers_.size()
                                  << " messages, " << execs_.size() << " windows, "
                                  << names_.size() << " file names, " << colors_.size()
                                  << " colours";
}

void ScriptedDialogs::ExpectMessage(DialogButton answer) { answers_.push_back(answer); }
void ScriptedDialogs::ExpectExec(std::function<int(QDialog*)> handler) {
    execs_.push_back(std::move(handler));
}
void ScriptedDialogs::ExpectFileName(const QString& name) { names_.push_back(name); }
void ScriptedDialogs::ExpectColor(const QColor& color) { colors_.push_back(color); }

bool ScriptedDialogs::AllAnswersUsed() const {
    return answers_.empty() && execs_.empty() && names_.empty() && colors_.empty();
}

DialogButton ScriptedDialogs::Message(QWidget*, MessageKind kind, const QString& text,
                                      int buttons) {
    messages_.push_back({kind, text, buttons});
    if (buttons == Ok) return Ok;
    if (answers_.empty()) {
        ADD_FAILURE() << "unscripted prompt: " << text.toStdString();
        return Cancel;
    }
    const DialogButton answer = answers_.front();
    answers_.pop_front();
    EXPECT_TRUE(buttons & answer) << "scripted answer is not a button of: " << text.toStdString();
    return answer;
}

int ScriptedDialogs::Exec(QDialog* dialog) {
    if (execs_.empty()) {
        ADD_FAILURE() << "unscripted window: " << dialog->objectName().toStdString();
        return QDialog::Rejected;
    }
    auto handler = std::move(execs_.front());
    execs_.pop_front();
    dialog->setResult(QDialog::Rejected);
    const int result = handler(dialog);
    dialog->setResult(result);
    dialog->hide();
    return result;
}

namespace {
QString Take(std::deque<QString>& names, const char* what) {
    if (names.empty()) {
        ADD_FAILURE() << "unscripted " << what;
        return {};
    }
    QString name = names.front();
    names.pop_front();
    return name;
}
} // namespace

QString ScriptedDialogs::OpenFileName(QWidget*, const QString&, const QString&, const QString&) {
    return Take(names_, "open-file chooser");
}
QStringList ScriptedDialogs::OpenFileNames(QWidget*, const QString&, const QString&,
                                           const QString&) {
    const QString names = Take(names_, "open-files chooser");
    return names.isEmpty() ? QStringList() : names.split(QLatin1Char('\n'));
}
QString ScriptedDialogs::SaveFileName(QWidget*, const QString&, const QString&, const QString&) {
    return Take(names_, "save-file chooser");
}
QString ScriptedDialogs::ExistingFolder(QWidget*, const QString&, const QString&) {
    return Take(names_, "folder chooser");
}
QColor ScriptedDialogs::Color(QWidget*, const QColor&) {
    if (colors_.empty()) {
        ADD_FAILURE() << "unscripted colour chooser";
        return {};
    }
    QColor c = colors_.front();
    colors_.pop_front();
    return c;
}

} // namespace vexamo::testing

#pragma once
// What the window tests of the test engine share: a session over a small question bank built
// in a temporary folder with the core operations, a real users file, scripted dialogs, and the
// three windows wired as the main window wires them.

#include "authoring/QuestionEditing.h"
#include "authoring/TFormNuevaPregunta.h"
#include "bank/Catalogue.h"
#include "bank/SubjectFiles.h"
#include "platform/Session.h"
#include "test/TFormPregunta.h"
#include "users/UsersFile.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test/TestAssembly.h"

namespace vexamo::testing {

class TestSession : public Session {
public:
    TestSession() : catalogue(dir.Path()) {
        if (!catalogue.LoadOrCreate()) ADD_FAILURE() << catalogue.ErrorString();
        users.CreateUsersFile(dir / kUsersFileName, "clave");
        users.AddUser("ana", "secreto");
    }

    Catalogue& GetCatalogue() override { return catalogue; }
    TArchivoVexamousers& Users() override { return users; }
    Dialogs& GetDialogs() override { return dialogs; }
    int CurrentRole() const override { return role; }
    QString CurrentUserName() const override { return userName; }
    void RebuildLists() override { ++rebuilds; }

    void SignInAs(int newRole, const QString& name = QString()) {
        role = newRole;
        userName = name;
    }

    // A subject holding `count` questions written with SaveQuestion. Question q reads
    // "<name> q", has the answers "<name> q a" .. d (and e when `fiveAnswers`) and its key
    // letter is KeyOf(q, fiveAnswers).
    int AddSubject(const std::string& name, int count, bool fiveAnswers = false) {
        EXPECT_TRUE(catalogue.AddSubject(name, 0)) << catalogue.ErrorString();
        const int subject = catalogue.FindSubject(name);
        for (int q = 0; q < count; ++q) {
            QuestionTexts texts;
            texts.question = name + " " + std::to_string(q);
            for (int a = 0; a < (fiveAnswers ? 5 : 4); ++a)
                texts.answers[static_cast<std::size_t>(a)] =
                    texts.question + " " + static_cast<char>('a' + a);
            texts.letter = std::string(1, static_cast<char>('a' + KeyOf(q, fiveAnswers)));
            EditorSubject target{PathsOf(catalogue, subject), subject, static_cast<std::uint32_t>(q),
                                 static_cast<std::uint32_t>(q)};
            EXPECT_TRUE(SaveQuestion(target, texts, catalogue).ok());
        }
        EXPECT_TRUE(catalogue.LoadCatalogue()) << catalogue.ErrorString();
        return subject;
    }
    static int KeyOf(int question, bool fiveAnswers) {
        return fiveAnswers ? (question + 4) % 5 : question % 4;
    }

    TempDir dir;
    Catalogue catalogue;
    TArchivoVexamousers users;
    ScriptedDialogs dialogs;
    int role = kRoleGuest;
    QString userName;
    int rebuilds = 0;
};

// The test window with its editor over a session.
struct TestWindow {
    explicit TestWindow(TestSession& session) : editor(session), window(session, editor) {}

    // A plan of (subject, question) in screen order.
    void SetPlan(const std::vector<std::pair<int, int>>& questions) {
        TestPlan& plan = window.Plan();
        plan = TestPlan();
        plan.length = static_cast<std::int32_t>(questions.size());
        for (std::size_t i = 0; i < questions.size(); ++i) {
            plan.drawn[i] = TestSlot{questions[i].first, questions[i].second};
            plan.order[i] = static_cast<std::int32_t>(i);
        }
    }

    template <typename T = QWidget>
    T* Child(const char* name) const {
        T* child = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QLabel* Answer(int answer) const {
        return Child<QLabel>(("Respuesta" + std::to_string(answer + 1)).c_str());
    }
    QString Text(const char* name) const { return Child<QLabel>(name)->text(); }

    // The question on screen: subject and question number.
    int SubjectOnScreen() const { return window.Plan().AtPosition(window.Position()).subjectNumber; }
    int QuestionOnScreen() const {
        return window.Plan().AtPosition(window.Position()).questionNumber;
    }

    void ClickAnswer(int answer, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Answer(answer), button);
    }
    // Right click on the window's background, left of the answer rows.
    void RightClickBackground() { QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(8, 300)); }

    TFormNuevaPregunta editor;
    TFormPregunta window;
};

} // namespace vexamo::testing

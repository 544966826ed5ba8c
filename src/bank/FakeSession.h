#pragma once
// A session for the window tests of the subject lists: a catalogue in a fresh temporary
// folder, scripted dialogs and a role the test sets. There is no users file.

#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "bank/Catalogue.h"
#include "bank/SubjectFiles.h"
#include "bank/SubjectListsPanel.h"
#include "platform/Session.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

#include <stdexcept>
#include <string>

namespace vexamo::testing {

class FakeSession : public Session {
  public:
    FakeSession() : catalogue(dir.Path()) {
        if (!catalogue.LoadOrCreate())
            ADD_FAILURE() << catalogue.ErrorString();
    }

    Catalogue& GetCatalogue() override { return catalogue; }
    TArchivoVexamousers& Users() override {
        throw std::logic_error("the subject-list tests have no users file");
    }
    Dialogs& GetDialogs() override { return dialogs; }
    int CurrentRole() const override { return role; }
    QString CurrentUserName() const override { return {}; }
    void RebuildLists() override {
        if (panel)
            panel->RebuildLists();
    }

    // A subject whose catalogue count is `count`; its files stay empty.
    int AddSubjectWithCount(const std::string& name, std::uint32_t count) {
        EXPECT_TRUE(catalogue.AddSubject(name, 0)) << catalogue.ErrorString();
        const int subject = catalogue.FindSubject(name);
        EXPECT_TRUE(catalogue.SetQuestionCount(subject, count)) << catalogue.ErrorString();
        EXPECT_TRUE(catalogue.LoadCatalogue()) << catalogue.ErrorString();
        return subject;
    }

    // A subject with `count` real questions in its files, indexed and counted.
    int AddSubjectWithQuestions(const std::string& name, int count) {
        EXPECT_TRUE(catalogue.AddSubject(name, 0)) << catalogue.ErrorString();
        const int subject = catalogue.FindSubject(name);
        WriteQuestions(subject, count);
        EXPECT_TRUE(RebuildIndex(catalogue, subject));
        EXPECT_TRUE(catalogue.LoadCatalogue()) << catalogue.ErrorString();
        return subject;
    }

    void WriteQuestions(int subject, int count) {
        std::string text;
        for (int q = 0; q < count; ++q)
            text +=
                "Pregunta " + std::to_string(q) + "\r\nuno\r\ndos\r\ntres\r\ncuatro\r\n=b\r\n\r\n";
        WriteBytes(catalogue.QuestionFile(subject), text);
    }

    void Include(int subject, int count, int examType = 0) {
        EXPECT_TRUE(catalogue.SetSubjectInExam(count, subject, examType))
            << catalogue.ErrorString();
    }

    // The catalogue as the file holds it now.
    Catalogue FromDisk() const {
        Catalogue copy(dir.Path());
        EXPECT_TRUE(copy.LoadCatalogue()) << copy.ErrorString();
        return copy;
    }

    TempDir dir;
    Catalogue catalogue;
    ScriptedDialogs dialogs;
    int role = kRoleAdministrator;
    SubjectListsPanel* panel = nullptr;
};

// The panel over a FakeSession, with the main window's companions, shown off screen.
class ListsTest : public ::testing::Test {
  protected:
    void Open() {
        panel = std::make_unique<SubjectListsPanel>(session);
        session.panel = panel.get();
        panel->AttachCompanions(&checker, &titulo, &menuEliminarExamen);
        panel->FillExamList();
        panel->RebuildLists();
        panel->resize(420, 640);
        panel->show();
    }

    template <typename T> T* Find(const char* name) {
        T* child = panel->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QTableWidget* In() { return Find<QTableWidget>("ListaMateriasIn"); }
    QTableWidget* Out() { return Find<QTableWidget>("ListaMateriasOut"); }
    QString Cell(QTableWidget* list, int row, int column) {
        const QTableWidgetItem* item = list->item(row, column);
        return item ? item->text() : QStringLiteral("<none>");
    }
    std::vector<QString> Names(QTableWidget* list) {
        std::vector<QString> names;
        for (int row = 0; row < list->rowCount(); ++row)
            names.push_back(Cell(list, row, 0));
        return names;
    }
    QPoint RowCentre(QTableWidget* list, int row) {
        return list->visualItemRect(list->item(row, 0)).center();
    }
    // The events of a real double click: press, release, double click, release.
    void DoubleClick(QTableWidget* list, int row) {
        const QPoint at = RowCentre(list, row);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    }
    void Click(QTableWidget* list, int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(list->viewport(), button, {}, RowCentre(list, row));
    }
    // Types a new name into a name cell of the included list and ends with `endKey`.
    void EditName(int row, const QString& text, Qt::Key endKey = Qt::Key_Return) {
        QTableWidgetItem* item = In()->item(row, 0);
        In()->setCurrentItem(item);
        In()->editItem(item);
        auto* editor = qobject_cast<QLineEdit*>(In()->indexWidget(In()->model()->index(row, 0)));
        ASSERT_NE(editor, nullptr) << "the name cell is not editable";
        editor->setText(text);
        QTest::keyClick(editor, endKey);
        QCoreApplication::processEvents(); // the view commits Enter's edit in a queued call
    }
    int StoredCount(int subject, int examType = 0) {
        return session.FromDisk().examTypes[static_cast<std::size_t>(examType)].QuestionsFor(
            subject);
    }
    bool StoredIncluded(int subject, int examType = 0) {
        return session.FromDisk().examTypes[static_cast<std::size_t>(examType)].IsIncluded(subject);
    }

    FakeSession session;
    QCheckBox checker;
    QLineEdit titulo;
    QAction menuEliminarExamen;
    std::unique_ptr<SubjectListsPanel> panel;
};

// A name the lists refuse and the message that says why.
struct RefusedNameCase {
    const char* name;
    const char* message;
};

inline void PrintTo(const RefusedNameCase& c, std::ostream* os) {
    *os << '"' << c.name << '"';
}

} // namespace vexamo::testing

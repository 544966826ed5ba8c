#pragma once
// The test options of the main window (forced number of questions, time limit, grouping,
// no repeat, topic filter, font size) and the start of a test: assembly through the test
// core, then the test window.

#include <QWidget>

#include <cstdint>
#include <functional>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QToolButton;

namespace vexamo {

class Session;
class SubjectListsPanel;
class TFormPregunta;

// Number fields with arrow buttons: the field accepts from the keyboard only digits (main row
// and keypad), Backspace, Delete, Home, End and the arrows; the buttons step the value
// between `minimum` and `maximum`. Returns the widget holding the field and its buttons.
QWidget* MakeNumberField(QLineEdit* field, int minimum, int maximum, int step,
                         bool digitsOnly, int maxTyped, QWidget* parent);

class TestOptionsPanel : public QWidget {
    Q_OBJECT
public:
    TestOptionsPanel(Session& session, SubjectListsPanel& lists, TFormPregunta& testWindow,
                     QWidget* parent = nullptr);
    ~TestOptionsPanel() override;

    QCheckBox* CheckerNumPreguntas() const { return checkerNumPreguntas_; }
    // The topic controls (CheckTemas, EditTemas, CheckInclResp, CheckMayMin), placed by the
    // lists panel inside PanelTestEspecifico.
    QWidget* TopicOptions() const { return topicOptions_; }

    // The seed of the random draws; the program uses the clock, tests a fixed value.
    void SetSeedSource(std::function<std::uint32_t()> seedSource);

    // Draws a test into the test window's plan; false (with its message shown) when nothing
    // was drawn. Also used by the document export and printing.
    bool AssembleTest();
    int TotalQuestions() const { return totalQuestions_; }

public Q_SLOTS:
    // "Empezar test..." (Ctrl+T), the button EmpezarTest and Enter in EditTemas.
    void StartTest();

private:
    void CheckTemasClick();

    Session& session_;
    SubjectListsPanel& lists_;
    TFormPregunta& testWindow_;
    std::function<std::uint32_t()> seedSource_;
    int totalQuestions_ = 0;

    QCheckBox* checkerNumPreguntas_ = nullptr;
    QLineEdit* numPreguntas_ = nullptr;
    QCheckBox* checkerTiempo_ = nullptr;
    QLineEdit* numTiempo_ = nullptr;
    QCheckBox* checkerAgruparPreguntas_ = nullptr;
    QCheckBox* checkerNoRepetir_ = nullptr;
    QRadioButton* tamanoFuente8_ = nullptr;
    QRadioButton* tamanoFuente12_ = nullptr;
    QWidget* topicOptions_ = nullptr;
    QCheckBox* checkTemas_ = nullptr;
    QLineEdit* editTemas_ = nullptr;
    QCheckBox* checkInclResp_ = nullptr;
    QCheckBox* checkMayMin_ = nullptr;
};

} // namespace vexamo

#pragma once
// The test window: runs a drawn test question by question (mouse answers, countdown, progress
// bars), ends it with the end panel and the grades, records the result of a named user and
// lets the user review the failures. Created once and reused for every test.
//
// The window's code is split by concern: TFormPregunta.cpp (controls and layout),
// TFormPreguntaRunner.cpp (the running test), TFormPreguntaEnd.cpp (end of test and grades),
// TFormPreguntaReview.cpp (the review of the failures).

#include "test/Scoring.h"

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class QCheckBox;
class QColor;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QTabWidget;
class QTimer;
class QToolButton;

namespace vexamo {

class Session;
class TFormNuevaPregunta;
struct TestPlan;

class TFormPregunta : public QDialog {
    Q_OBJECT
public:
    // The correct answer of a question that was on screen but has no usable key letter.
    static constexpr std::uint8_t kNoKey = 254;
    static constexpr int kExpandedWidth = 672;
    static constexpr int kCollapsedWidth = 519;
    static constexpr int kClientHeight = 566;
    static constexpr int kBarWidth = 270;

    TFormPregunta(Session& session, TFormNuevaPregunta& editor, QWidget* parent = nullptr);
    ~TFormPregunta() override;

    // What the test options hand over before the window opens.
    void SetFontSize(int points); // 8 or 12
    int FontSize() const { return fontSize_; }
    // The clock panel is visible exactly when armed; the countdown starts when the window opens.
    void SetTimeLimit(bool armed, const QString& minutesText);
    // "Repetir preguntas lo menos posible": questions put on screen get their asked flag.
    void SetNoRepeat(bool on) { noRepeat_ = on; }
    // The test: filled by the assembly, read by the test document.
    TestPlan& Plan() { return *plan_; }
    const TestPlan& Plan() const { return *plan_; }
    int Length() const;

    // The options toggle; its state is kept by the settings file.
    bool OptionsDown() const;
    void SetOptionsDown(bool down);

    // Runner state, read by scoring, the review and the test document.
    int Position() const { return position_; }
    AnswerSheet& Sheet() { return sheet_; }
    const AnswerSheet& Sheet() const { return sheet_; }
    enum class State { Closed, Running, Ended, Reviewing };
    State CurrentState() const { return state_; }
    bool IsRunning() const { return state_ == State::Running; } // a test on screen
    bool ClockRunning() const;
    const TestCounts& Counts() const { return counts_; }

    // Handlers of the window (public so that the main window and tests can drive them).
    void FormShow();
    void PlayClick();
    void PauseClick();
    void RespuestaMouseDown(int answer, Qt::MouseButton button); // answer 0..4
    void RespuestaMouseMove(int answer);
    void FormMouseDown(Qt::MouseButton button);
    void FormMouseMove();
    void BotonTerminarClick();
    void VerProgresoClick();
    void BotonOpcionesClick();
    void EndTest();
    bool ComputeGrades();
    void PanelFinTestClick();
    void StartReview();
    void SelectReviewTab(int tab); // 0 "Bien", 1 "Mal", 2 "Nada"
    void ShowReviewedQuestion(int position);
    void ModificarPreguntaClick();
    // Failure navigation: the slider has one place per failure (wrong or blank), in screen order.
    void MoveToFailure(int place);
    void PrimerFalloClick();
    void FalloAnteriorClick();
    void SiguienteFalloClick();
    void UltimoFalloClick();

    // Position lookups: the (k + 1)-th position answered right, wrong, left blank, or failed
    // (wrong or blank); -1 when there is none.
    int NthCorrect(int k) const;
    int NthWrong(int k) const;
    int NthBlank(int k) const;
    int NthFailure(int k) const;

public Q_SLOTS:
    void TimerTimer(); // one tick of the countdown

Q_SIGNALS:
    // The export buttons of the running test; the main window hands the test to the documents.
    void ExportRunningTestRequested();
    void PrintRunningTestRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildEndPanels();
    void BuildReviewPanel();
    void Advance(std::uint8_t answer);
    void ShowQuestion(int position);
    std::uint8_t ReadCorrect(int position); // reads the question's key letter
    int SubjectAt(int position) const;
    int QuestionAt(int position) const;
    QString LetterText(std::uint8_t answer) const;
    void StyleAnswer(int answer, const QColor& background, const QColor& text, bool border);
    void LayOutQuestion();
    void SetAnswerLook(int answer, bool highlighted);
    void ResetAnswerLooks();
    void ApplyOptionsToggle();
    void ApplyFonts();
    void UpdateQuestionLabels();
    void CloseWindow(int result);
    void FormClose();
    void FillReviewLists();
    void ListClick(int tab);
    bool ReviewListKey(int tab, int key); // true when the key was used
    void EnableFailureNavigation();
    int LineHeight() const { return fontSize_ == 8 ? 15 : 23; }
    QString SubjectName(int subject) const;
    int FailurePlaceOf(int position) const;

    Session& session_;
    TFormNuevaPregunta& editor_;

    // Hand-over from the test options.
    int fontSize_ = 12;
    QString minutesText_ = QStringLiteral("10");
    bool clockArmed_ = false;
    bool noRepeat_ = false;

    // The test.
    std::unique_ptr<TestPlan> plan_;
    AnswerSheet sheet_;
    State state_ = State::Closed;
    int position_ = -1;
    int highlighted_ = -1;
    float questionStep_ = 0, questionBar_ = 0;
    float timeStep_ = 0, timeBar_ = 0;

    // The question on screen.
    QString questionText_;
    std::array<QString, 5> answerTexts_;
    int answerCount_ = 0;

    // Scoring.
    TestCounts counts_;
    bool reviewExpanded_ = false;
    bool reviewOpened_ = false;
    int failurePlace_ = 0;
    bool selectingTab_ = false;
    bool movingSlider_ = false;

    // Controls.
    QTimer* timer_ = nullptr;
    QFrame* shapeProgreso_ = nullptr;
    QFrame* progresoTiempo_ = nullptr;
    QFrame* progresoTest_ = nullptr;
    QLabel* labelTiempo_ = nullptr;
    QLabel* labelTest_ = nullptr;
    QToolButton* testWord_ = nullptr;
    QToolButton* testImpresora_ = nullptr;
    QPushButton* botonOpciones_ = nullptr;
    QLabel* labelPregunta_ = nullptr;
    QLabel* labelMateria_ = nullptr;
    QLabel* memoPregunta_ = nullptr;
    std::array<QLabel*, 5> letras_{};
    std::array<QLabel*, 5> respuestas_{};
    std::array<int, 5> rowTop_{};
    std::array<int, 5> rowHeight_{};
    QLabel* footEsc_ = nullptr;
    QLabel* footRight_ = nullptr;
    QLabel* imagenDecorativa_ = nullptr;
    QFrame* panelProgresar_ = nullptr;
    QFrame* panelReloj_ = nullptr;
    QLabel* reloj_ = nullptr;
    QToolButton* play_ = nullptr;
    QToolButton* pause_ = nullptr;
    QCheckBox* verProgreso_ = nullptr;
    QPushButton* botonTerminar_ = nullptr;

    QFrame* panelFinTest_ = nullptr;
    QLabel* numPreguntas_ = nullptr;
    QLabel* numAciertos_ = nullptr;
    QLabel* numFallos_ = nullptr;
    QLabel* numBlancos_ = nullptr;
    QLabel* nota1_ = nullptr;
    QLabel* nota2_ = nullptr;
    QLabel* labelRevisarSalir_ = nullptr;
    QFrame* panelFinTest2_ = nullptr;
    QLabel* imagenPerfecto_ = nullptr;
    QFrame* panelRestar_ = nullptr;
    QCheckBox* restar_ = nullptr;
    QLineEdit* numPreguntasRestar_ = nullptr;

    QFrame* panelRevisar_ = nullptr;
    QLabel* nota1b_ = nullptr;
    QLabel* nota2b_ = nullptr;
    QTabWidget* pageControl_ = nullptr;
    std::array<QListWidget*, 3> listas_{};
    QLabel* textoNumFallo_ = nullptr;
    QSlider* trackBar_ = nullptr;
    QToolButton* primerFallo_ = nullptr;
    QToolButton* falloAnterior_ = nullptr;
    QToolButton* siguienteFallo_ = nullptr;
    QToolButton* ultimoFallo_ = nullptr;
    QLabel* respuestaMal_ = nullptr;
    QLabel* respuestaBien_ = nullptr;
    QPushButton* modificarPregunta_ = nullptr;
};

} // namespace vexamo

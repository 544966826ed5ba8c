#pragma once
// The test window: runs a drawn test question by question (mouse answers, countdown, progress
// bars), ends it with the end panel and the grades, records the result of a named user and
// lets the user review the failures. Created once and reused for every test.
//
// The window's code is split by concern: TFormPregunta.cpp (controls and layout),
// TFormPreguntaRunner.cpp (the running test), TFormPreguntaEnd.cpp (end of test and grades),
// TFormPreguntaReview.cpp (the review of the failures).

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
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

class TFormPregunta : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxQuestions = 200;
    static constexpr std::uint8_t kUnknown = 255; // no answer, or correct letter not yet known
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
    // The questions of the next test: (subject, question number) per screen position.
    void SetQuestions(const std::vector<std::pair<int, int>>& byPosition);
    int Length() const { return length_; }

    // The options toggle; its state is kept by the settings file.
    bool OptionsDown() const;
    void SetOptionsDown(bool down);

    // Runner state, read by scoring, the review and the test document.
    int Position() const { return position_; }
    std::uint8_t Correct(int position) const { return correct_.at(position); }
    std::uint8_t Given(int position) const { return given_.at(position); }
    void SetCorrect(int position, std::uint8_t letter) { correct_.at(position) = letter; }
    bool IsRunning() const;   // a test on screen (running or paused)
    bool ClockRunning() const;
    int Right() const { return right_; }
    int Wrong() const { return wrong_; }
    int Blank() const { return blank_; }
    int Presented() const { return presented_; }

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

public slots:
    void TimerTimer(); // one tick of the countdown

signals:
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
    void ReviewListKey(int tab, int key);
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
    int length_ = 0;
    std::array<std::pair<int, int>, kMaxQuestions> questions_{};
    int position_ = -1;
    std::array<std::uint8_t, kMaxQuestions> correct_{};
    std::array<std::uint8_t, kMaxQuestions> given_{};
    int highlighted_ = -1;
    float questionStep_ = 0, questionBar_ = 0;
    float timeStep_ = 0, timeBar_ = 0;
    bool reviewing_ = false;
    bool ended_ = false;

    // The question on screen.
    QString questionText_;
    std::array<QString, 5> answerTexts_;
    int answerCount_ = 0;

    // Scoring.
    int presented_ = 0, right_ = 0, wrong_ = 0, blank_ = 0;
    bool reviewExpanded_ = false;
    bool reviewOpened_ = false;
    int failurePlace_ = 0;

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

#pragma once
// The question editor: adds questions to a subject (append mode) or changes a stored one
// (edit mode). The window validates the input and calls the question-editing operations of
// the authoring core, which do every read and write of the subject's files.

#include <QDialog>
#include <QString>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace vexamo {

class Session;

class TFormNuevaPregunta : public QDialog {
    Q_OBJECT
public:
    explicit TFormNuevaPregunta(Session& session, QWidget* parent = nullptr);
    ~TFormNuevaPregunta() override;

    // "Añadir preguntas..." of the main menu and of the list pop-ups: append mode on the
    // subject, "Introducir pregunta y pasar a la siguiente" shown. Returns the window's result.
    int AddQuestions(int subject);
    // The review's "Modificar...": edit mode on question `questionNumber` of the subject,
    // without "Introducir pregunta y pasar a la siguiente". Returns the window's result.
    int EditQuestion(int subject, int questionNumber);
    // The common opening: sets the editor state and runs the window modally through the
    // session's dialogs. When a question was saved, the catalogue is reloaded and the lists
    // rebuilt once the window has closed.
    int Open(int subject, int questionNumber, int questionCount, bool showNext);

    // Editor state (for the callers and for tests).
    int SubjectNumber() const { return subject_; }
    int QuestionNumber() const { return questionNumber_; }
    int QuestionCount() const { return questionCount_; }
    bool IsEditMode() const { return questionNumber_ < questionCount_; }
    bool Saved() const { return saved_; }

    // Handlers of the window.
    void FormShow();
    void SiguientePreguntaClick();
    void OkClick();
    void OcultarQuintaAlternativaClick();

    // No field holds more than this many characters: a longer line could not be read back.
    static constexpr int kFieldLimit = 1023;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class SaveOutcome { Saved, Refused, DuplicateNo, DuplicateCancel };
    SaveOutcome ValidateAndSave();
    void ClearFields();
    void ShowTotal();
    void LimitQuestionLength();
    int StoredQuestionCount(int subject) const; // 0 for a subject not in the catalogue
    QWidget* FieldWidget(int field) const; // in the order question, answers a) .. e), letter

    Session& session_;
    QString subjectName_;
    int subject_ = 0;
    int questionNumber_ = 0;
    int questionCount_ = 0;
    bool saved_ = false;

    QLabel* label1_ = nullptr;
    QLabel* nombreMateria_ = nullptr;
    QLabel* totalPreguntasMateria_ = nullptr;
    QTextEdit* pregunta_ = nullptr;
    QLineEdit* respuestas_[5] = {};
    QLabel* respuestaLabels_[5] = {};
    QLineEdit* respuestaCorrecta_ = nullptr;
    QCheckBox* ocultarQuinta_ = nullptr;
    QCheckBox* comprobarRepetida_ = nullptr;
    QPushButton* siguientePregunta_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace vexamo

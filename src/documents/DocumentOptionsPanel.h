#pragma once
// The "Exportar / Imprimir" options of the main window: title, date line, columns, font,
// colours and sizes of the test document. The export reads them at its start.

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>

class QCheckBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vexamo {

class Dialogs;

class DocumentOptionsPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kOpenHeight = 247;
    static constexpr int kClosedHeight = 33; // the header's height minus 2

    explicit DocumentOptionsPanel(Dialogs& dialogs, QWidget* parent = nullptr);

    QLineEdit* EditTitulo() const { return editTitulo_; }
    QCheckBox* CheckTitulo() const { return checkTitulo_; }

    // The title the current test kind suggests ("Test general - ..." or "Test específico - ...");
    // asked for when CheckTitulo is clicked.
    void SetDefaultTitleSource(std::function<QString()> source);

    // The options, as the export reads them.
    QString TitleText() const; // empty when CheckTitulo is off
    int TitleSize() const;
    bool DateFlag() const;
    bool Columns() const;
    bool Watermark() const;
    QString FontName() const;
    QColor QuestionColor() const { return questionColor_; }
    QColor AnswerColor() const { return answerColor_; }
    int QuestionSize() const;
    int AnswerSize() const;

    // Panel height: kOpenHeight or kClosedHeight (kept by the settings file).
    bool IsOpen() const { return open_; }
    int PanelHeight() const;
    void SetPanelHeight(int height);

    // Handlers.
    void PanelExportarImprimirEncabezadoClick();
    void CheckTituloClick();
    void Label10Click(); // colour of the questions
    void Label11Click(); // colour of the answers

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The colour box opens on the colour last chosen there; a cancelled box keeps it.
    void ChooseColour(QColor& dialogColour, QColor& colour, QLabel* swatch);
    void SetSwatch(QLabel* swatch, const QColor& color);

    Dialogs& dialogs_;
    std::function<QString()> defaultTitle_;
    bool open_ = true;
    QPushButton* encabezado_ = nullptr;
    QWidget* body_ = nullptr;
    QCheckBox* checkTitulo_ = nullptr;
    QLineEdit* editTitulo_ = nullptr;
    QSpinBox* numTamanoTitulo_ = nullptr;
    QCheckBox* checkFechaHora_ = nullptr;
    QCheckBox* checkColumnas_ = nullptr;
    QCheckBox* checkMarcaAgua_ = nullptr;
    QFontComboBox* comboFuentes_ = nullptr;
    QLabel* shapeColorPreguntas_ = nullptr;
    QLabel* label10_ = nullptr;
    QSpinBox* numTamanoPreguntas_ = nullptr;
    QLabel* shapeColorRespuestas_ = nullptr;
    QLabel* label11_ = nullptr;
    QSpinBox* numTamanoRespuestas_ = nullptr;
    // What each colour dialog holds: the last colour chosen in it, or its starting colour.
    QColor dialogColorPreguntas_;
    QColor dialogColorRespuestas_;
    QColor questionColor_;
    QColor answerColor_;
};

} // namespace vexamo

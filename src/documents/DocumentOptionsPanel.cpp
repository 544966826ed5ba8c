#include "documents/DocumentOptionsPanel.h"

#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vexamo {

namespace {

// A number that only the arrow buttons change: the text itself is read-only.
class ArrowSpinBox : public QSpinBox {
public:
    ArrowSpinBox(const char* name, int minimum, int maximum, int value, QWidget* parent)
        : QSpinBox(parent) {
        setObjectName(QString::fromLatin1(name));
        setRange(minimum, maximum);
        setSingleStep(2);
        setValue(value);
        lineEdit()->setReadOnly(true);
    }
};

const QColor kMaroon(128, 0, 0);

} // namespace

DocumentOptionsPanel::DocumentOptionsPanel(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs),
      dialogColorPreguntas_(kMaroon),
      dialogColorRespuestas_(Qt::black),
      questionColor_(kMaroon),
      answerColor_(Qt::black) {
    setObjectName(QStringLiteral("PanelExportarImprimir"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    encabezado_ = new QPushButton(QStringLiteral("Exportar / Imprimir"), this);
    encabezado_->setObjectName(QStringLiteral("PanelExportarImprimirEncabezado"));
    encabezado_->setToolTip(QStringLiteral("Opciones para exportar a Word e imprimir"));
    encabezado_->setFixedHeight(kClosedHeight + 2);
    outer->addWidget(encabezado_);
    connect(encabezado_, &QPushButton::clicked, this,
            &DocumentOptionsPanel::PanelExportarImprimirEncabezadoClick);

    body_ = new QWidget(this);
    auto* rows = new QVBoxLayout(body_);
    rows->setContentsMargins(6, 4, 6, 4);
    rows->setSpacing(4);
    auto newRow = [rows] {
        auto* row = new QHBoxLayout;
        row->setSpacing(4);
        rows->addLayout(row);
        return row;
    };

    checkTitulo_ = new QCheckBox(QStringLiteral("Título:"), body_);
    checkTitulo_->setObjectName(QStringLiteral("CheckTitulo"));
    editTitulo_ = new QLineEdit(body_);
    editTitulo_->setObjectName(QStringLiteral("EditTitulo"));
    editTitulo_->setEnabled(false);
    numTamanoTitulo_ = new ArrowSpinBox("NumTamanoTitulo", 8, 36, 16, body_);
    numTamanoTitulo_->setEnabled(false);
    QHBoxLayout* row = newRow();
    row->addWidget(checkTitulo_);
    row->addWidget(editTitulo_, 1);
    row->addWidget(numTamanoTitulo_);
    connect(checkTitulo_, &QCheckBox::clicked, this, &DocumentOptionsPanel::CheckTituloClick);

    checkFechaHora_ = new QCheckBox(QStringLiteral("Fecha y hora"), body_);
    checkFechaHora_->setObjectName(QStringLiteral("CheckFechaHora"));
    checkFechaHora_->setChecked(true);
    checkColumnas_ = new QCheckBox(QStringLiteral("Texto en columnas"), body_);
    checkColumnas_->setObjectName(QStringLiteral("CheckColumnas"));
    checkColumnas_->setChecked(true);
    checkMarcaAgua_ = new QCheckBox(QStringLiteral("Marca de agua"), body_);
    checkMarcaAgua_->setObjectName(QStringLiteral("CheckMarcaAgua"));
    checkMarcaAgua_->setChecked(true);
    checkMarcaAgua_->hide(); // an option of the export, not offered in the panel
    rows->addWidget(checkFechaHora_);
    rows->addWidget(checkColumnas_);

    auto* labelFuente = new QLabel(QStringLiteral("Fuente:"), body_);
    comboFuentes_ = new QFontComboBox(body_);
    comboFuentes_->setObjectName(QStringLiteral("ComboFuentes"));
    comboFuentes_->setMaxVisibleItems(12);
    comboFuentes_->setMinimumContentsLength(8);
    comboFuentes_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    row = newRow();
    row->addWidget(labelFuente);
    row->addWidget(comboFuentes_, 1);

    auto makeColourRow = [&](QLabel*& swatch, const char* swatchName, QLabel*& label,
                             const char* labelName, const QString& text, const QString& hint,
                             const QString& sizeCaption, QSpinBox*& size, const char* sizeName,
                             const QColor& color) {
        swatch = new QLabel(body_);
        swatch->setObjectName(QString::fromLatin1(swatchName));
        swatch->setFixedSize(20, 20);
        swatch->setFrameShape(QFrame::Box);
        swatch->setAutoFillBackground(true);
        SetSwatch(swatch, color);
        label = new QLabel(text, body_);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setToolTip(hint);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        size = new ArrowSpinBox(sizeName, 8, 18, 10, body_);
        QHBoxLayout* colourRow = newRow();
        colourRow->addWidget(swatch);
        colourRow->addWidget(label);
        colourRow->addStretch();
        if (!sizeCaption.isEmpty()) colourRow->addWidget(new QLabel(sizeCaption, body_));
        colourRow->addWidget(size);
    };
    makeColourRow(shapeColorPreguntas_, "ShapeColorPreguntas", label10_, "Label10",
                  QStringLiteral("color de preguntas"),
                  QStringLiteral("Elegir el color de las preguntas"), QStringLiteral("Tamaño:"),
                  numTamanoPreguntas_, "NumTamanoPreguntas", questionColor_);
    makeColourRow(shapeColorRespuestas_, "ShapeColorRespuestas", label11_, "Label11",
                  QStringLiteral("color de respuestas"),
                  QStringLiteral("Elegir el color de las respuestas"), QString(),
                  numTamanoRespuestas_, "NumTamanoRespuestas", answerColor_);
    rows->addStretch();
    outer->addWidget(body_);

    setFixedHeight(kOpenHeight);
}

void DocumentOptionsPanel::SetDefaultTitleSource(std::function<QString()> source) {
    defaultTitle_ = std::move(source);
}

QString DocumentOptionsPanel::TitleText() const {
    return checkTitulo_->isChecked() ? editTitulo_->text() : QString();
}
int DocumentOptionsPanel::TitleSize() const { return numTamanoTitulo_->value(); }
bool DocumentOptionsPanel::DateFlag() const { return checkFechaHora_->isChecked(); }
bool DocumentOptionsPanel::Columns() const { return checkColumnas_->isChecked(); }
bool DocumentOptionsPanel::Watermark() const { return checkMarcaAgua_->isChecked(); }
QString DocumentOptionsPanel::FontName() const { return comboFuentes_->currentFont().family(); }
int DocumentOptionsPanel::QuestionSize() const { return numTamanoPreguntas_->value(); }
int DocumentOptionsPanel::AnswerSize() const { return numTamanoRespuestas_->value(); }

int DocumentOptionsPanel::PanelHeight() const { return open_ ? kOpenHeight : kClosedHeight; }

void DocumentOptionsPanel::SetPanelHeight(int height) {
    open_ = height > kClosedHeight;
    body_->setVisible(open_);
    setFixedHeight(PanelHeight());
}

void DocumentOptionsPanel::PanelExportarImprimirEncabezadoClick() {
    SetPanelHeight(open_ ? kClosedHeight : kOpenHeight);
}

void DocumentOptionsPanel::CheckTituloClick() {
    const bool on = checkTitulo_->isChecked();
    editTitulo_->setEnabled(on);
    numTamanoTitulo_->setEnabled(on);
    // A title already written follows the current test kind; an empty one stays empty.
    if (defaultTitle_ && !editTitulo_->text().isEmpty()) editTitulo_->setText(defaultTitle_());
    if (on) editTitulo_->setFocus();
}

void DocumentOptionsPanel::Label10Click() {
    ChooseColour(dialogColorPreguntas_, questionColor_, shapeColorPreguntas_);
}

void DocumentOptionsPanel::Label11Click() {
    ChooseColour(dialogColorRespuestas_, answerColor_, shapeColorRespuestas_);
}

void DocumentOptionsPanel::ChooseColour(QColor& dialogColour, QColor& colour, QLabel* swatch) {
    const QColor chosen = dialogs_.Color(this, dialogColour);
    if (chosen.isValid()) dialogColour = chosen;
    colour = dialogColour;
    SetSwatch(swatch, colour);
}

bool DocumentOptionsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == label10_) {
            Label10Click();
            return true;
        }
        if (watched == label11_) {
            Label11Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DocumentOptionsPanel::SetSwatch(QLabel* swatch, const QColor& color) {
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, color);
    swatch->setPalette(palette);
}

} // namespace vexamo

// The test window's controls, their layout and looks, and the event routing.

#include "test/TFormPregunta.h"

#include "authoring/TFormNuevaPregunta.h"
#include "bank/Catalogue.h"
#include "platform/QtText.h"
#include "platform/Session.h"
#include "test/TestOptionsPanel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEnterEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextLayout>
#include <QTimer>
#include <QToolButton>

#include "test/TestAssembly.h"

namespace vexamo {

namespace {

const QColor kMaroon(128, 0, 0);
const QColor kTeal(0, 128, 128);
const QColor kOlive(128, 128, 0);
const QColor kLightGreen(192, 255, 192);

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& rect) {
    auto* label = new QLabel(parent);
    // Question texts and subject names are shown as typed, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    if (!name.isEmpty()) label->setObjectName(name);
    label->setGeometry(rect);
    return label;
}

void Paint(QWidget* widget, const QColor& background, const QColor& text = QColor()) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    if (text.isValid()) palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A coloured box holding a grade (white text).
QLabel* MakeGradeBox(QWidget* parent, const QString& name, const QColor& colour, const QRect& rect) {
    QLabel* box = MakeLabel(parent, name, QString(), rect);
    box->setAlignment(Qt::AlignCenter);
    QFont font = box->font();
    font.setBold(true);
    font.setPointSize(14);
    box->setFont(font);
    Paint(box, colour, Qt::white);
    return box;
}

QPixmap PerfectPicture() {
    QPixmap picture(120, 120);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(255, 215, 0));
    painter.setPen(QPen(QColor(160, 120, 0), 3));
    painter.drawEllipse(10, 10, 100, 100);
    painter.setPen(QPen(Qt::black, 4));
    painter.drawArc(35, 40, 50, 45, 200 * 16, 140 * 16);
    painter.setBrush(Qt::black);
    painter.drawEllipse(40, 38, 10, 12);
    painter.drawEllipse(70, 38, 10, 12);
    return picture;
}

QToolButton* MakeToolButton(QWidget* parent, const QString& name, QStyle::StandardPixmap icon,
                            const QString& hint, const QRect& rect) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(hint);
    button->setGeometry(rect);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TFormPregunta::TFormPregunta(Session& session, TFormNuevaPregunta& editor, QWidget* parent)
    : QDialog(parent), session_(session), editor_(editor), plan_(std::make_unique<TestPlan>()) {
    setObjectName(QStringLiteral("FormPregunta"));
    setWindowTitle(QStringLiteral("Test"));
    setMouseTracking(true);
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer"));
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &TFormPregunta::TimerTimer);
    BuildControls();
    BuildEndPanels();
    BuildReviewPanel();
    ApplyOptionsToggle();
    ResetAnswerLooks();
    ApplyFonts();
    for (QWidget* panel : {static_cast<QWidget*>(panelFinTest_), static_cast<QWidget*>(panelFinTest2_),
                           static_cast<QWidget*>(panelRestar_), static_cast<QWidget*>(panelRevisar_)})
        panel->hide();
}

TFormPregunta::~TFormPregunta() = default;

int TFormPregunta::Length() const { return plan_->length; }

void TFormPregunta::BuildControls() {
    // Progress strip.
    shapeProgreso_ = new QFrame(this);
    shapeProgreso_->setObjectName(QStringLiteral("ShapeProgreso"));
    shapeProgreso_->setGeometry(24, 10, kBarWidth + 10, 26);
    Paint(shapeProgreso_, kLightGreen);
    progresoTiempo_ = new QFrame(shapeProgreso_);
    progresoTiempo_->setObjectName(QStringLiteral("ProgresoTiempo"));
    progresoTiempo_->setGeometry(5, 6, 0, 4);
    Paint(progresoTiempo_, Qt::black);
    progresoTest_ = new QFrame(shapeProgreso_);
    progresoTest_->setObjectName(QStringLiteral("ProgresoTest"));
    progresoTest_->setGeometry(5, 16, 0, 4);
    Paint(progresoTest_, kTeal);
    QFont small = font();
    small.setPointSize(7);
    labelTiempo_ = MakeLabel(this, QStringLiteral("LabelTiempo"), QStringLiteral("tiempo"),
                             QRect(24 + kBarWidth + 14, 8, 50, 12));
    labelTest_ = MakeLabel(this, QStringLiteral("LabelTest"), QStringLiteral("preguntas"),
                           QRect(24 + kBarWidth + 14, 22, 50, 12));
    labelTiempo_->setFont(small);
    labelTest_->setFont(small);

    testWord_ = MakeToolButton(this, QStringLiteral("TestWord"), QStyle::SP_FileDialogDetailedView,
                               QStringLiteral("Exportar este test a Word (Ctrl+W)"),
                               QRect(364, 8, 28, 28));
    testWord_->setShortcut(QKeySequence(QStringLiteral("Ctrl+W")));
    connect(testWord_, &QToolButton::clicked, this, [this] { emit ExportRunningTestRequested(); });
    testImpresora_ = MakeToolButton(this, QStringLiteral("TestImpresora"),
                                    QStyle::SP_DialogSaveButton,
                                    QStringLiteral("Imprimir este test (Ctrl+P)"),
                                    QRect(394, 8, 28, 28));
    testImpresora_->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    connect(testImpresora_, &QToolButton::clicked, this,
            [this] { emit PrintRunningTestRequested(); });
    botonOpciones_ = new QPushButton(this);
    botonOpciones_->setObjectName(QStringLiteral("BotonOpciones"));
    botonOpciones_->setCheckable(true);
    botonOpciones_->setChecked(true);
    botonOpciones_->setAutoDefault(false);
    botonOpciones_->setFocusPolicy(Qt::NoFocus);
    botonOpciones_->setGeometry(426, 8, 88, 28);
    connect(botonOpciones_, &QPushButton::clicked, this, [this] { ApplyOptionsToggle(); });

    // Question area.
    labelPregunta_ = MakeLabel(this, QStringLiteral("LabelPregunta"), QString(), QRect(24, 44, 220, 20));
    labelMateria_ = MakeLabel(this, QStringLiteral("LabelMateria"), QString(), QRect(250, 44, 240, 20));
    labelMateria_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    memoPregunta_ = MakeLabel(this, QStringLiteral("MemoPregunta"), QString(), QRect(24, 68, 466, 31));
    memoPregunta_->setWordWrap(true);
    memoPregunta_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    memoPregunta_->setMargin(4);
    Paint(memoPregunta_, Qt::white, kMaroon);
    for (int i = 0; i < 5; ++i) {
        letras_[i] = MakeLabel(this, QStringLiteral("Letra%1").arg(i + 1),
                               QString(QChar('a' + i)) + QLatin1Char(')'), QRect(24, 110 + 40 * i, 24, 23));
        respuestas_[i] = MakeLabel(this, QStringLiteral("Respuesta%1").arg(i + 1), QString(),
                                   QRect(50, 110 + 40 * i, 440, 29));
        respuestas_[i]->setWordWrap(true);
        respuestas_[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        respuestas_[i]->setMargin(3);
        respuestas_[i]->setCursor(Qt::PointingHandCursor);
        respuestas_[i]->setMouseTracking(true);
        respuestas_[i]->installEventFilter(this);
    }
    footEsc_ = MakeLabel(this, QString(), QStringLiteral("Tecla Esc para terminar"),
                         QRect(24, 520, 466, 16));
    footRight_ = MakeLabel(this, QString(),
                           QStringLiteral("Botón derecho del ratón para dejar la pregunta sin contestar"),
                           QRect(24, 538, 466, 16));

    // Right pane.
    imagenDecorativa_ = MakeLabel(this, QStringLiteral("Imagen"), QString(), QRect(534, 10, 120, 120));
    imagenDecorativa_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(96, 96));
    imagenDecorativa_->setAlignment(Qt::AlignCenter);
    panelProgresar_ = new QFrame(this);
    panelProgresar_->setObjectName(QStringLiteral("PanelProgresar"));
    panelProgresar_->setGeometry(524, 140, 144, 170);
    panelReloj_ = new QFrame(panelProgresar_);
    panelReloj_->setObjectName(QStringLiteral("PanelReloj"));
    panelReloj_->setGeometry(0, 0, 144, 110);
    reloj_ = MakeLabel(panelReloj_, QStringLiteral("Reloj"), QStringLiteral("60:00"), QRect(2, 4, 140, 50));
    QFont big = reloj_->font();
    big.setPointSize(26);
    big.setBold(true);
    reloj_->setFont(big);
    reloj_->setAlignment(Qt::AlignCenter);
    play_ = MakeToolButton(panelReloj_, QStringLiteral("Play"), QStyle::SP_MediaPlay,
                           QStringLiteral("Play"), QRect(32, 62, 36, 36));
    pause_ = MakeToolButton(panelReloj_, QStringLiteral("Pause"), QStyle::SP_MediaPause,
                            QStringLiteral("Pausa"), QRect(76, 62, 36, 36));
    connect(play_, &QToolButton::clicked, this, &TFormPregunta::PlayClick);
    connect(pause_, &QToolButton::clicked, this, &TFormPregunta::PauseClick);
    verProgreso_ = new QCheckBox(QStringLiteral("Ver progreso"), panelProgresar_);
    verProgreso_->setObjectName(QStringLiteral("VerProgreso"));
    verProgreso_->setChecked(true);
    verProgreso_->setFocusPolicy(Qt::NoFocus);
    verProgreso_->setGeometry(8, 120, 130, 24);
    connect(verProgreso_, &QCheckBox::clicked, this, &TFormPregunta::VerProgresoClick);

    botonTerminar_ = new QPushButton(QStringLiteral("Terminar"), this);
    botonTerminar_->setObjectName(QStringLiteral("BotonTerminar"));
    botonTerminar_->setAutoDefault(false);
    botonTerminar_->setGeometry(544, 520, 104, 30);
    connect(botonTerminar_, &QPushButton::clicked, this, &TFormPregunta::BotonTerminarClick);
}

void TFormPregunta::BuildEndPanels() {
    panelFinTest_ = new QFrame(this);
    panelFinTest_->setObjectName(QStringLiteral("PanelFinTest"));
    panelFinTest_->setGeometry(20, 40, 474, 428);
    panelFinTest_->setFrameShape(QFrame::Box);
    Paint(panelFinTest_, Qt::white, Qt::black);
    panelFinTest_->installEventFilter(this);
    QLabel* title = MakeLabel(panelFinTest_, QStringLiteral("LabelFinTest"),
                              QStringLiteral("Fin del Test"), QRect(0, 16, 474, 40));
    QFont titleFont = title->font();
    titleFont.setPointSize(20);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);
    const struct {
        const char* caption;
        const char* name;
        QColor colour;
        QLabel** target;
    } rows[] = {
        {"Número de preguntas:", "NumPreguntas", Qt::black, &numPreguntas_},
        {"Aciertos:", "NumAciertos", QColor(0, 128, 0), &numAciertos_},
        {"Fallos:", "NumFallos", Qt::red, &numFallos_},
        {"Preguntas sin contestar:", "NumBlancos", Qt::blue, &numBlancos_},
    };
    int y = 80;
    for (const auto& row : rows) {
        MakeLabel(panelFinTest_, QString(), QString::fromUtf8(row.caption), QRect(60, y, 220, 24));
        QLabel* value = MakeLabel(panelFinTest_, QString::fromLatin1(row.name), QString(),
                                  QRect(290, y, 100, 24));
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        QPalette palette = value->palette();
        palette.setColor(QPalette::WindowText, row.colour);
        value->setPalette(palette);
        *row.target = value;
        y += 30;
    }
    MakeLabel(panelFinTest_, QString(), QStringLiteral("Nota final"), QRect(60, 220, 150, 20));
    MakeLabel(panelFinTest_, QString(), QStringLiteral("Nota sobre 10"), QRect(260, 220, 150, 20));
    nota1_ = MakeGradeBox(panelFinTest_, QStringLiteral("Nota1"), kTeal, QRect(60, 244, 150, 40));
    nota2_ = MakeGradeBox(panelFinTest_, QStringLiteral("Nota2"), kOlive, QRect(260, 244, 150, 40));
    MakeLabel(panelFinTest_, QString(), QStringLiteral("Clic con el ratón para"),
              QRect(60, 330, 180, 24));
    labelRevisarSalir_ = MakeLabel(panelFinTest_, QStringLiteral("LabelRevisarSalir"), QString(),
                                   QRect(240, 330, 220, 24));

    panelFinTest2_ = new QFrame(this);
    panelFinTest2_->setObjectName(QStringLiteral("PanelFinTest2"));
    panelFinTest2_->setGeometry(524, 140, 144, 300);
    panelFinTest2_->setAutoFillBackground(true);
    panelFinTest2_->installEventFilter(this);
    imagenPerfecto_ = MakeLabel(panelFinTest2_, QStringLiteral("ImagenPerfecto"), QString(),
                                QRect(12, 20, 120, 120));
    imagenPerfecto_->setPixmap(PerfectPicture());

    panelRestar_ = new QFrame(this);
    panelRestar_->setObjectName(QStringLiteral("PanelRestar"));
    panelRestar_->setGeometry(20, 474, 474, 36);
    restar_ = new QCheckBox(QStringLiteral("Restar 1 por cada               pregunta(s) mal"),
                            panelRestar_);
    restar_->setObjectName(QStringLiteral("Restar"));
    restar_->setChecked(true);
    restar_->setGeometry(4, 6, 300, 24);
    connect(restar_, &QCheckBox::clicked, this, [this] { ComputeGrades(); });
    numPreguntasRestar_ = new QLineEdit(QStringLiteral("3"));
    numPreguntasRestar_->setObjectName(QStringLiteral("NumPreguntasRestar"));
    QWidget* divisor = MakeNumberField(numPreguntasRestar_, 1, 100, 1, false, 1, panelRestar_);
    divisor->setGeometry(130, 6, 54, 24);
    connect(numPreguntasRestar_, &QLineEdit::textChanged, this, [this] { ComputeGrades(); });
}

void TFormPregunta::BuildReviewPanel() {
    panelRevisar_ = new QFrame(this);
    panelRevisar_->setObjectName(QStringLiteral("PanelRevisar"));
    panelRevisar_->setGeometry(522, 4, 148, 508);
    panelRevisar_->setAutoFillBackground(true);
    MakeLabel(panelRevisar_, QString(), QStringLiteral("Nota final"), QRect(4, 0, 140, 16));
    nota1b_ = MakeGradeBox(panelRevisar_, QStringLiteral("Nota1b"), kTeal, QRect(4, 16, 140, 30));
    MakeLabel(panelRevisar_, QString(), QStringLiteral("Nota sobre 10"), QRect(4, 48, 140, 16));
    nota2b_ = MakeGradeBox(panelRevisar_, QStringLiteral("Nota2b"), kOlive, QRect(4, 64, 140, 30));

    pageControl_ = new QTabWidget(panelRevisar_);
    pageControl_->setObjectName(QStringLiteral("PageControl"));
    pageControl_->setGeometry(0, 100, 148, 190);
    pageControl_->setUsesScrollButtons(false);
    pageControl_->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 6px; min-width: 0px; }"));
    const char* tabNames[] = {"Bien", "Mal", "Nada"};
    const char* listNames[] = {"ListaAciertos", "ListaFallos", "ListaBlancos"};
    const QColor listColours[] = {QColor(0, 128, 0), Qt::red, Qt::blue};
    for (int tab = 0; tab < 3; ++tab) {
        auto* list = new QListWidget;
        list->setObjectName(QString::fromLatin1(listNames[tab]));
        QPalette palette = list->palette();
        palette.setColor(QPalette::Text, listColours[tab]);
        list->setPalette(palette);
        // The column is narrow: long subject names end in an ellipsis (the tooltip has them
        // whole) instead of pushing in a horizontal scroll bar.
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setTextElideMode(Qt::ElideRight);
        list->installEventFilter(this);
        connect(list, &QListWidget::currentRowChanged, this, [this, tab] { ListClick(tab); });
        connect(list, &QListWidget::itemClicked, this, [this, tab] { ListClick(tab); });
        pageControl_->addTab(list, QString::fromLatin1(tabNames[tab]));
        listas_[tab] = list;
    }
    connect(pageControl_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (!selectingTab_ && state_ == State::Reviewing) SelectReviewTab(tab);
    });

    MakeLabel(panelRevisar_, QString(), QStringLiteral("Fallo número..."), QRect(4, 294, 140, 16));
    textoNumFallo_ = MakeGradeBox(panelRevisar_, QStringLiteral("TextoNumFallo"), Qt::red,
                                  QRect(4, 310, 140, 24));
    trackBar_ = new QSlider(Qt::Horizontal, panelRevisar_);
    trackBar_->setObjectName(QStringLiteral("TrackBar"));
    trackBar_->setGeometry(4, 336, 140, 22);
    connect(trackBar_, &QSlider::valueChanged, this, [this](int place) {
        if (!movingSlider_) MoveToFailure(place);
    });
    primerFallo_ = MakeToolButton(panelRevisar_, QStringLiteral("PrimerFallo"),
                                  QStyle::SP_MediaSkipBackward, QStringLiteral("Ver fallo anterior"),
                                  QRect(4, 360, 34, 24));
    falloAnterior_ = MakeToolButton(panelRevisar_, QStringLiteral("FalloAnterior"),
                                    QStyle::SP_MediaSeekBackward,
                                    QStringLiteral("Ver fallo anterior"), QRect(39, 360, 34, 24));
    siguienteFallo_ = MakeToolButton(panelRevisar_, QStringLiteral("SiguienteFallo"),
                                     QStyle::SP_MediaSeekForward,
                                     QStringLiteral("Ver siguiente fallo"), QRect(75, 360, 34, 24));
    ultimoFallo_ = MakeToolButton(panelRevisar_, QStringLiteral("UltimoFallo"),
                                  QStyle::SP_MediaSkipForward, QStringLiteral("Ver siguiente fallo"),
                                  QRect(110, 360, 34, 24));
    connect(primerFallo_, &QToolButton::clicked, this, &TFormPregunta::PrimerFalloClick);
    connect(falloAnterior_, &QToolButton::clicked, this, &TFormPregunta::FalloAnteriorClick);
    connect(siguienteFallo_, &QToolButton::clicked, this, &TFormPregunta::SiguienteFalloClick);
    connect(ultimoFallo_, &QToolButton::clicked, this, &TFormPregunta::UltimoFalloClick);

    MakeLabel(panelRevisar_, QString(), QStringLiteral("Respondiste..."), QRect(4, 392, 110, 18));
    respuestaMal_ = MakeLabel(panelRevisar_, QStringLiteral("RespuestaMal"), QString(),
                              QRect(114, 392, 34, 18));
    MakeLabel(panelRevisar_, QString(), QStringLiteral("y la correcta es..."), QRect(4, 414, 110, 18));
    respuestaBien_ = MakeLabel(panelRevisar_, QStringLiteral("RespuestaBien"), QString(),
                               QRect(114, 414, 34, 18));
    QFont bold = respuestaMal_->font();
    bold.setBold(true);
    respuestaMal_->setFont(bold);
    respuestaBien_->setFont(bold);
    modificarPregunta_ = new QPushButton(QStringLiteral("Modificar..."), panelRevisar_);
    modificarPregunta_->setObjectName(QStringLiteral("ModificarPregunta"));
    modificarPregunta_->setToolTip(QStringLiteral("Editar el contenido de esta pregunta"));
    modificarPregunta_->setAutoDefault(false);
    modificarPregunta_->setGeometry(24, 442, 100, 28);
    connect(modificarPregunta_, &QPushButton::clicked, this, &TFormPregunta::ModificarPreguntaClick);
}

// ---------------------------------------------------------------------------------------------
// Looks.

bool TFormPregunta::OptionsDown() const { return botonOpciones_->isChecked(); }

void TFormPregunta::SetOptionsDown(bool down) {
    botonOpciones_->setChecked(down);
    ApplyOptionsToggle();
}

void TFormPregunta::BotonOpcionesClick() { SetOptionsDown(!botonOpciones_->isChecked()); }

void TFormPregunta::ApplyOptionsToggle() {
    const bool down = botonOpciones_->isChecked();
    botonOpciones_->setText(down ? QStringLiteral("Opciones  <<") : QStringLiteral("Opciones  >>"));
    setFixedSize(down ? kExpandedWidth : kCollapsedWidth, kClientHeight);
}

void TFormPregunta::VerProgresoClick() {
    const bool visible = verProgreso_->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(shapeProgreso_), static_cast<QWidget*>(progresoTiempo_),
                       static_cast<QWidget*>(labelTiempo_), static_cast<QWidget*>(progresoTest_),
                       static_cast<QWidget*>(labelTest_)})
        w->setVisible(visible);
}

void TFormPregunta::SetFontSize(int points) {
    fontSize_ = points == 8 ? 8 : 12;
    ApplyFonts();
}

void TFormPregunta::ApplyFonts() {
    QFont face(QStringLiteral("Comic Sans MS"));
    face.setPointSize(fontSize_);
    QFont statement = face;
    statement.setItalic(true);
    memoPregunta_->setFont(statement);
    QFont letter = face;
    letter.setBold(true);
    for (int i = 0; i < 5; ++i) {
        respuestas_[i]->setFont(face);
        letras_[i]->setFont(letter);
    }
}

void TFormPregunta::StyleAnswer(int answer, const QColor& background, const QColor& text,
                                bool border) {
    QLabel* box = respuestas_[answer];
    Paint(box, background, text);
    box->setFrameShape(border ? QFrame::Box : QFrame::NoFrame);
}

// The normal look: no border, alternating backgrounds, window text colour, at its own row.
void TFormPregunta::SetAnswerLook(int answer, bool highlighted) {
    QLabel* box = respuestas_[answer];
    const int x = fontSize_ == 12 ? 55 : 50;
    const int width = fontSize_ == 12 ? 435 : 440;
    if (highlighted) {
        StyleAnswer(answer, Qt::white, QColor(0, 0, 128), true);
        box->setGeometry(x - 2, rowTop_[answer] - 2, width + 4, rowHeight_[answer] + 2);
    } else {
        const QColor face(240, 240, 240);  // button face
        const QColor light(227, 227, 227); // light 3-D
        StyleAnswer(answer, answer % 2 == 0 ? face : light, palette().color(QPalette::WindowText),
                    false);
        box->setGeometry(x, rowTop_[answer], width, rowHeight_[answer]);
    }
}

void TFormPregunta::ResetAnswerLooks() {
    for (int i = 0; i < 5; ++i) SetAnswerLook(i, false);
    highlighted_ = -1;
}

void TFormPregunta::LayOutQuestion() {
    const int lineHeight = LineHeight();
    // Wrapped lines of a text at a width, as the label breaks it.
    const auto linesOf = [](const QLabel* label, int width, const QString& text) {
        QTextLayout layout(text, label->font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        int lines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            ++lines;
        }
        layout.endLayout();
        return std::max(1, lines);
    };
    const int memoTop = 68;
    const int memoLines = linesOf(memoPregunta_, memoPregunta_->width() - 8, memoPregunta_->text());
    memoPregunta_->setGeometry(24, memoTop, 466, memoLines * lineHeight + 8);
    int y = memoTop + memoLines * lineHeight + 18 - (fontSize_ == 12 ? 3 : 0);
    const int width = fontSize_ == 12 ? 435 : 440;
    for (int i = 0; i < 5; ++i) {
        const int lines = linesOf(respuestas_[i], width - 6, respuestas_[i]->text());
        rowTop_[i] = y;
        rowHeight_[i] = lines * lineHeight + 6;
        letras_[i]->setGeometry(24, fontSize_ == 8 ? y - 2 : y, 26, lineHeight);
        if (respuestas_[i]->isVisibleTo(this) || i < 4) y += rowHeight_[i];
    }
    for (int i = 0; i < 5; ++i) SetAnswerLook(i, i == highlighted_);
}

// ---------------------------------------------------------------------------------------------
// Event routing.

void TFormPregunta::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TFormPregunta::closeEvent(QCloseEvent* event) {
    // The close box: the test is abandoned, nothing is recorded.
    timer_->stop();
    state_ = State::Closed;
    FormClose();
    QDialog::closeEvent(event);
}

void TFormPregunta::CloseWindow(int result) {
    FormClose();
    state_ = State::Closed;
    done(result);
}

void TFormPregunta::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Alt:
        BotonTerminarClick();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (botonTerminar_->hasFocus()) BotonTerminarClick();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TFormPregunta::mousePressEvent(QMouseEvent* event) { FormMouseDown(event->button()); }

void TFormPregunta::mouseMoveEvent(QMouseEvent* event) {
    FormMouseMove();
    QDialog::mouseMoveEvent(event);
}

bool TFormPregunta::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < 5; ++i) {
        if (watched != respuestas_[i]) continue;
        if (event->type() == QEvent::MouseButtonPress) {
            RespuestaMouseDown(i, static_cast<QMouseEvent*>(event)->button());
            return true;
        }
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
            RespuestaMouseMove(i);
        } else if (event->type() == QEvent::Leave) {
            FormMouseMove();
        }
        return false;
    }
    if ((watched == panelFinTest_ || watched == panelFinTest2_) &&
        event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) PanelFinTestClick();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        for (int tab = 0; tab < 3; ++tab) {
            if (watched == listas_[tab] && ReviewListKey(tab, static_cast<QKeyEvent*>(event)->key()))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString TFormPregunta::SubjectName(int subject) const {
    const Catalogue& catalogue = session_.GetCatalogue();
    if (subject < 0 || subject >= catalogue.SubjectCount()) return QString();
    return ToQString(catalogue.subjects[static_cast<std::size_t>(subject)].Name());
}

int TFormPregunta::SubjectAt(int position) const { return plan_->AtPosition(position).subjectNumber; }
int TFormPregunta::QuestionAt(int position) const {
    return plan_->AtPosition(position).questionNumber;
}

QString TFormPregunta::LetterText(std::uint8_t answer) const {
    if (answer > 4) return QStringLiteral("?");
    return QString(QChar('a' + answer)) + QLatin1Char(')');
}

} // namespace vexamo

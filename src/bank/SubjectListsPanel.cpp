#include "bank/SubjectListsPanel.h"

#include "bank/Catalogue.h"
#include "bank/SubjectMaintenance.h"
#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "platform/Session.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <utility>

namespace vexamo {

namespace {

constexpr int kEllipsisWidth = 18;
constexpr int kEllipsisRole = Qt::UserRole + 1;
constexpr qint64 kNotANumberInTotal = 999999;
constexpr qint64 kLargestTotal = 999998;

// Digits grouped by three with ".", the Spanish way, whatever the machine's locale.
QString WithThousands(quint64 value) {
    QString digits = QString::number(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char('.'));
    return digits;
}

std::optional<int> CellInteger(const QTableWidgetItem* item) {
    if (!item)
        return std::nullopt;
    bool ok = false;
    const int value = item->text().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString Quoted(const QString& name) {
    return QStringLiteral("\"") + name + QStringLiteral("\"");
}

// Paints a small "..." button at the right of the count cells that carry kEllipsisRole and
// reports clicks on it.
class EllipsisDelegate : public QStyledItemDelegate {
  public:
    EllipsisDelegate(QObject* parent, std::function<void(int)> clicked)
        : QStyledItemDelegate(parent), clicked_(std::move(clicked)) {}

    static QRect ButtonRect(const QRect& cell) {
        return QRect(cell.right() - kEllipsisWidth + 1, cell.top() + 1, kEllipsisWidth - 1,
                     cell.height() - 2);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!index.data(kEllipsisRole).toBool())
            return;
        QStyleOptionButton button;
        button.rect = ButtonRect(option.rect);
        button.text = QStringLiteral("...");
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_PushButton, &button, painter, widget);
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        if (event->type() == QEvent::MouseButtonRelease && index.data(kEllipsisRole).toBool()) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                ButtonRect(option.rect).contains(mouse->position().toPoint())) {
                clicked_(index.row());
                return true;
            }
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

  private:
    std::function<void(int)> clicked_;
};

} // namespace

// The name cells: a rename is confirmed with Enter; an edit that ends otherwise (focus
// leaving the cell) is not a rename.
class NameDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        enterPressed_ = false;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    // True once after an edit that Enter ended.
    bool TakeEnter() const { return std::exchange(enterPressed_, false); }

  protected:
    bool eventFilter(QObject* editor, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                enterPressed_ = true;
        }
        return QStyledItemDelegate::eventFilter(editor, event);
    }

  private:
    mutable bool enterPressed_ = false;
};

namespace {

QPushButton* MakeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

SubjectListsPanel::SubjectListsPanel(Session& session, QWidget* parent)
    : QWidget(parent), session_(session), maintenance_(std::make_unique<SubjectMaintenance>(
                                              session, this, [this] { RebuildLists(); })) {
    setObjectName(QStringLiteral("PanelListas"));
    BuildControls();
    BuildMenus();
    ApplyRole(session_.CurrentRole());
}

SubjectListsPanel::~SubjectListsPanel() = default;

void SubjectListsPanel::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* modeRow = new QHBoxLayout;
    testGeneral_ = new QRadioButton(QStringLiteral("General"), this);
    testGeneral_->setObjectName(QStringLiteral("TestGeneral"));
    testGeneral_->setChecked(true);
    testEspecifico_ = new QRadioButton(QStringLiteral("Específico"), this);
    testEspecifico_->setObjectName(QStringLiteral("TestEspecifico"));
    modeRow->addWidget(testGeneral_);
    modeRow->addWidget(testEspecifico_);
    modeRow->addStretch();
    layout->addLayout(modeRow);

    auto* examRow = new QHBoxLayout;
    auto* examLabel = new QLabel(QStringLiteral("Examen:"), this);
    comboExamenes_ = new QComboBox(this);
    comboExamenes_->setObjectName(QStringLiteral("ComboExamenes"));
    comboExamenes_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    examLabel->setBuddy(comboExamenes_);
    examRow->addWidget(examLabel);
    examRow->addWidget(comboExamenes_, 1);
    layout->addLayout(examRow);

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("SplitterMaterias"));
    splitter_->setChildrenCollapsible(false);
    layout->addWidget(splitter_, 1);

    // Upper part: the included list with its total, or the specific-test panel.
    auto* upper = new QWidget(splitter_);
    auto* upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);

    panelIn_ = new QWidget(upper);
    panelIn_->setObjectName(QStringLiteral("PanelMateriasIn"));
    auto* inLayout = new QVBoxLayout(panelIn_);
    inLayout->setContentsMargins(0, 0, 0, 0);
    listaIn_ = new QTableWidget(0, 2, panelIn_);
    listaIn_->setObjectName(QStringLiteral("ListaMateriasIn"));
    listaIn_->setHorizontalHeaderLabels(
        {QStringLiteral("Materias incluídas en este examen"), QStringLiteral("Num. preguntas")});
    listaIn_->setColumnWidth(0, 242);
    listaIn_->setColumnWidth(1, 105);
    listaIn_->verticalHeader()->hide();
    listaIn_->setSelectionMode(QAbstractItemView::SingleSelection);
    nameDelegate_ = new NameDelegate(listaIn_);
    listaIn_->setItemDelegateForColumn(0, nameDelegate_);
    listaIn_->setItemDelegateForColumn(
        1, new EllipsisDelegate(listaIn_, [this](int row) { EllipsisClick(row); }));
    inLayout->addWidget(listaIn_, 1);
    auto* testTotalRow = new QHBoxLayout;
    testTotalRow->addWidget(new QLabel(QStringLiteral("Total preguntas test:"), panelIn_));
    labelPreguntasTest_ = new QLabel(QStringLiteral("0"), panelIn_);
    labelPreguntasTest_->setObjectName(QStringLiteral("LabelPreguntasTest"));
    QPalette green = labelPreguntasTest_->palette();
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    labelPreguntasTest_->setPalette(green);
    testTotalRow->addWidget(labelPreguntasTest_);
    testTotalRow->addStretch();
    inLayout->addLayout(testTotalRow);
    upperLayout->addWidget(panelIn_, 1);

    panelTestEspecifico_ = new QWidget(upper);
    panelTestEspecifico_->setObjectName(QStringLiteral("PanelTestEspecifico"));
    auto* specificLayout = new QVBoxLayout(panelTestEspecifico_);
    specificLayout->setContentsMargins(0, 0, 0, 0);
    auto* subjectRow = new QHBoxLayout;
    subjectRow->addWidget(new QLabel(QStringLiteral("Materia:"), panelTestEspecifico_));
    editMateria_ = new QLineEdit(panelTestEspecifico_);
    editMateria_->setObjectName(QStringLiteral("EditMateria"));
    editMateria_->setReadOnly(true);
    subjectRow->addWidget(editMateria_, 1);
    specificLayout->addLayout(subjectRow);
    topicHost_ = new QWidget(panelTestEspecifico_);
    topicHost_->setObjectName(QStringLiteral("PanelTemas"));
    auto* topicLayout = new QVBoxLayout(topicHost_);
    topicLayout->setContentsMargins(0, 0, 0, 0);
    specificLayout->addWidget(topicHost_);
    specificLayout->addStretch();
    panelTestEspecifico_->hide();
    upperLayout->addWidget(panelTestEspecifico_, 1);

    // Lower part: the excluded (or available) subjects with the bank total.
    auto* lower = new QWidget(splitter_);
    auto* outLayout = new QVBoxLayout(lower);
    outLayout->setContentsMargins(0, 0, 0, 0);
    listaOut_ = new QTableWidget(0, 2, lower);
    listaOut_->setObjectName(QStringLiteral("ListaMateriasOut"));
    listaOut_->setHorizontalHeaderLabels(
        {QStringLiteral("Materias excluídas"), QStringLiteral("Preguntas disp.")});
    listaOut_->setColumnWidth(0, 242);
    listaOut_->setColumnWidth(1, 105);
    listaOut_->verticalHeader()->hide();
    listaOut_->setSelectionBehavior(QAbstractItemView::SelectRows);
    listaOut_->setSelectionMode(QAbstractItemView::SingleSelection);
    listaOut_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    outLayout->addWidget(listaOut_, 1);
    auto* bankTotalRow = new QHBoxLayout;
    bankTotalRow->addWidget(new QLabel(QStringLiteral("Total preguntas disponibles:"), lower));
    labelPreguntasBD_ = new QLabel(QStringLiteral("0"), lower);
    labelPreguntasBD_->setObjectName(QStringLiteral("LabelPreguntasBD"));
    QPalette maroon = labelPreguntasBD_->palette();
    maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
    labelPreguntasBD_->setPalette(maroon);
    bankTotalRow->addWidget(labelPreguntasBD_);
    bankTotalRow->addStretch();
    outLayout->addLayout(bankTotalRow);
    progress_ = new QProgressBar(lower);
    progress_->setObjectName(QStringLiteral("BarraReparacion"));
    progress_->hide();
    outLayout->addWidget(progress_);

    // Floating panels, placed by hand near the row they concern.
    auto* numPanel = new QFrame(this);
    numPanel->setObjectName(QStringLiteral("PanelNumPreguntasTest"));
    numPanel->setFrameShape(QFrame::StyledPanel);
    numPanel->setAutoFillBackground(true);
    auto* numLayout = new QHBoxLayout(numPanel);
    numLayout->setContentsMargins(4, 4, 4, 4);
    editNumPreguntas_ = new QSpinBox(numPanel);
    editNumPreguntas_->setObjectName(QStringLiteral("EditNumPreguntasTest"));
    editNumPreguntas_->setRange(0, 100);
    editNumPreguntas_->setSingleStep(5);
    numLayout->addWidget(editNumPreguntas_);
    auto* numOk = MakeButton(QStringLiteral("OK"), QStringLiteral("BotonNumPreguntasOk"), numPanel);
    auto* numCancel =
        MakeButton(QStringLiteral("Cancel"), QStringLiteral("BotonNumPreguntasCancel"), numPanel);
    numLayout->addWidget(numOk);
    numLayout->addWidget(numCancel);
    numPanel->adjustSize();
    numPanel->hide();
    panelNumPreguntas_ = numPanel;

    auto* namePanel = new QFrame(this);
    namePanel->setObjectName(QStringLiteral("PanelNuevoExamen"));
    namePanel->setFrameShape(QFrame::StyledPanel);
    namePanel->setAutoFillBackground(true);
    auto* nameLayout = new QVBoxLayout(namePanel);
    nameLayout->setContentsMargins(6, 6, 6, 6);
    labelNuevoNombre_ = new QLabel(namePanel);
    labelNuevoNombre_->setObjectName(QStringLiteral("LabelNuevoNombre"));
    nameLayout->addWidget(labelNuevoNombre_);
    nuevoExamenEdit_ = new QLineEdit(namePanel);
    nuevoExamenEdit_->setObjectName(QStringLiteral("NuevoExamenEdit"));
    nameLayout->addWidget(nuevoExamenEdit_);
    auto* nameButtons = new QHBoxLayout;
    auto* nameOk =
        MakeButton(QStringLiteral("OK"), QStringLiteral("BotonNuevoExamenOk"), namePanel);
    auto* nameCancel =
        MakeButton(QStringLiteral("Cancel"), QStringLiteral("BotonNuevoExamenCancel"), namePanel);
    nameButtons->addStretch();
    nameButtons->addWidget(nameOk);
    nameButtons->addWidget(nameCancel);
    nameLayout->addLayout(nameButtons);
    namePanel->hide();
    panelNuevoExamen_ = namePanel;

    connect(testEspecifico_, &QRadioButton::toggled, this, [this](bool) { ModeChanged(); });
    connect(comboExamenes_, &QComboBox::currentIndexChanged, this,
            &SubjectListsPanel::ExamTypeChanged);
    connect(listaIn_, &QTableWidget::itemChanged, this, &SubjectListsPanel::ListaMateriasInChange);
    connect(listaIn_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { ListaMateriasInDblClick(row); });
    connect(listaOut_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { ListaMateriasOutDblClick(row); });
    connect(listaOut_, &QTableWidget::currentCellChanged, this,
            [this](int, int, int, int) { ListaMateriasOutCurrentChanged(); });
    connect(editMateria_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (editTitulo_)
            editTitulo_->setText(QStringLiteral("Test específico - ") + text);
    });
    connect(numOk, &QPushButton::clicked, this, &SubjectListsPanel::BotonNumPreguntasOkClick);
    connect(numCancel, &QPushButton::clicked, this,
            &SubjectListsPanel::BotonNumPreguntasCancelClick);
    connect(nameOk, &QPushButton::clicked, this, &SubjectListsPanel::BotonNuevoExamenOkClick);
    connect(nuevoExamenEdit_, &QLineEdit::returnPressed, this,
            &SubjectListsPanel::BotonNuevoExamenOkClick);
    connect(nameCancel, &QPushButton::clicked, this, &SubjectListsPanel::HideNamePanel);
    nuevoExamenEdit_->installEventFilter(this);
    listaIn_->viewport()->installEventFilter(this);
    listaOut_->viewport()->installEventFilter(this);

    AddEmptyRow(listaIn_);
    AddEmptyRow(listaOut_);
}

void SubjectListsPanel::BuildMenus() {
    auto makeListMenu = [this](QTableWidget* list, const QString& name) {
        auto* menu = new QMenu(this);
        menu->setObjectName(name);
        auto* nueva = menu->addAction(QStringLiteral("Nueva materia"));
        nueva->setObjectName(name + QStringLiteral("NuevaMateria"));
        auto* eliminar = menu->addAction(QStringLiteral("Eliminar materia"));
        eliminar->setObjectName(name + QStringLiteral("EliminarMateria"));
        auto* reiniciar = menu->addAction(QStringLiteral("Reiniciar preguntas"));
        reiniciar->setObjectName(name + QStringLiteral("ReiniciarPreguntas"));
        auto* reparar = menu->addAction(QStringLiteral("Detectar y reparar errores"));
        reparar->setObjectName(name + QStringLiteral("Reparar"));
        connect(nueva, &QAction::triggered, this, [this, list] {
            popupList_ = list;
            PopupNuevaMateria();
        });
        connect(eliminar, &QAction::triggered, this, [this, list] {
            popupList_ = list;
            PopupEliminarMateria();
        });
        connect(reiniciar, &QAction::triggered, this, [this, list] {
            popupList_ = list;
            PopupReiniciarPreguntas();
        });
        connect(reparar, &QAction::triggered, this, [this, list] {
            popupList_ = list;
            PopupRepararMateria();
        });
        connect(list, &QWidget::customContextMenuRequested, this,
                [this, list](const QPoint& pos) { ShowListMenu(list, pos); });
        return std::make_pair(menu, eliminar);
    };
    std::tie(menuIn_, popupEliminarIn_) = makeListMenu(listaIn_, QStringLiteral("PopupMateriasIn"));
    std::tie(menuOut_, popupEliminarOut_) =
        makeListMenu(listaOut_, QStringLiteral("PopupMateriasOut"));

    menuExamenes_ = new QMenu(this);
    menuExamenes_->setObjectName(QStringLiteral("PopupExamenes"));
    auto* nuevo = menuExamenes_->addAction(QStringLiteral("Nuevo tipo de examen"));
    nuevo->setObjectName(QStringLiteral("PopupExamenesNuevo"));
    popupEliminarExamen_ = menuExamenes_->addAction(QStringLiteral("Eliminar examen"));
    popupEliminarExamen_->setObjectName(QStringLiteral("PopupExamenesEliminar"));
    connect(nuevo, &QAction::triggered, this, &SubjectListsPanel::NuevoExamen);
    connect(popupEliminarExamen_, &QAction::triggered, this, &SubjectListsPanel::EliminarExamen);
    connect(comboExamenes_, &QWidget::customContextMenuRequested, this,
            &SubjectListsPanel::ShowExamMenu);
}

// ---------------------------------------------------------------------------------------
// Companions, role, queries

void SubjectListsPanel::AttachCompanions(QCheckBox* checkerNumPreguntas, QLineEdit* editTitulo,
                                         QAction* menuEliminarExamen) {
    checkerNumPreguntas_ = checkerNumPreguntas;
    editTitulo_ = editTitulo;
    menuEliminarExamen_ = menuEliminarExamen;
    const bool specific = IsSpecificMode();
    if (checkerNumPreguntas_ && specific) {
        rememberedForce_ = checkerNumPreguntas_->isChecked();
        checkerNumPreguntas_->setChecked(true);
        checkerNumPreguntas_->setEnabled(false);
    }
    if (menuEliminarExamen_)
        menuEliminarExamen_->setEnabled(!specific);
}

void SubjectListsPanel::SetTopicOptions(QWidget* topicOptions) {
    if (!topicOptions)
        return;
    topicHost_->layout()->addWidget(topicOptions);
    topicOptions->show();
}

void SubjectListsPanel::ApplyRole(int currentRole) {
    admin_ = currentRole == kRoleAdministrator;
    const auto policy = admin_ ? Qt::CustomContextMenu : Qt::NoContextMenu;
    listaIn_->setContextMenuPolicy(policy);
    listaOut_->setContextMenuPolicy(policy);
    comboExamenes_->setContextMenuPolicy(policy);
    listaIn_->setEditTriggers(admin_ ? QAbstractItemView::EditKeyPressed |
                                           QAbstractItemView::AnyKeyPressed
                                     : QAbstractItemView::NoEditTriggers);
    if (!admin_) {
        panelNuevoExamen_->hide();
        panelNumPreguntas_->hide();
        menuIn_->hide();
        menuOut_->hide();
        menuExamenes_->hide();
    }
    // Item flags and ellipsis buttons follow the role.
    const bool ready = listsReady_;
    listsReady_ = false;
    for (int row = 0; row < static_cast<int>(includedRows_.size()); ++row) {
        for (int column = 0; column < 2; ++column) {
            QTableWidgetItem* item = listaIn_->item(row, column);
            if (!item)
                continue;
            Qt::ItemFlags flags = item->flags();
            flags.setFlag(Qt::ItemIsEditable, admin_);
            item->setFlags(flags);
            if (column == 1)
                item->setData(kEllipsisRole, admin_);
        }
    }
    listsReady_ = ready;
}

int SubjectListsPanel::SelectedExamType() const {
    return comboExamenes_->currentIndex();
}
bool SubjectListsPanel::IsSpecificMode() const {
    return testEspecifico_->isChecked();
}
int SubjectListsPanel::SelectedSubject() const {
    return selectedSubject_;
}

std::vector<std::pair<int, int>> SubjectListsPanel::IncludedCounts() const {
    std::vector<std::pair<int, int>> counts;
    for (int row = 0; row < static_cast<int>(includedRows_.size()); ++row)
        counts.emplace_back(includedRows_[static_cast<std::size_t>(row)],
                            CellInteger(listaIn_->item(row, 1)).value_or(-1));
    return counts;
}

int SubjectListsPanel::CurrentAvailableSubject() const {
    return RowSubject(listaOut_, listaOut_->currentRow());
}

QString SubjectListsPanel::EditMateriaText() const {
    return editMateria_->text();
}
std::uint32_t SubjectListsPanel::LargestSubject() const {
    return largestSubject_;
}

int SubjectListsPanel::IncludedPanelHeight() const {
    return splitter_->sizes().value(0);
}

void SubjectListsPanel::SetIncludedPanelHeight(int height) {
    if (height <= 0)
        return;
    const QList<int> sizes = splitter_->sizes();
    int total = 0;
    for (const int size : sizes)
        total += size;
    splitter_->setSizes({height, std::max(total - height, 1)});
}

QString SubjectListsPanel::ExamTypeName(int examType) const {
    const Catalogue& catalogue = session_.GetCatalogue();
    if (examType < 0 || examType >= catalogue.ExamTypeCount())
        return {};
    return ToQString(catalogue.examTypes[static_cast<std::size_t>(examType)].Name());
}

bool SubjectListsPanel::HasDataRows(const QTableWidget* list) const {
    return !(list == listaIn_ ? includedRows_ : excludedRows_).empty();
}

int SubjectListsPanel::RowSubject(const QTableWidget* list, int row) const {
    const std::vector<int>& rows = list == listaIn_ ? includedRows_ : excludedRows_;
    if (row < 0 || row >= static_cast<int>(rows.size()))
        return -1;
    return rows[static_cast<std::size_t>(row)];
}

QString SubjectListsPanel::RowName(const QTableWidget* list, int row) const {
    const QTableWidgetItem* item = list->item(row, 0);
    return item ? item->text() : QString();
}

void SubjectListsPanel::SetSelectedSubject(int subject) {
    selectedSubject_ = subject;
    emit SelectedSubjectChanged(subject);
}

// ---------------------------------------------------------------------------------------
// Building the lists

void SubjectListsPanel::FillExamList() {
    const QSignalBlocker blocker(comboExamenes_);
    comboExamenes_->clear();
    const Catalogue& catalogue = session_.GetCatalogue();
    for (int e = 0; e < catalogue.ExamTypeCount(); ++e)
        comboExamenes_->addItem(ExamTypeName(e));
    comboExamenes_->setCurrentIndex(comboExamenes_->count() > 0 ? 0 : -1);
}

void SubjectListsPanel::AddRow(QTableWidget* list, const QString& name, const QString& value,
                               bool ellipsis) {
    const int row = list->rowCount();
    list->insertRow(row);
    auto* nameItem = new QTableWidgetItem(name);
    auto* valueItem = new QTableWidgetItem(value);
    if (!ellipsis) {
        nameItem->setFlags(nameItem->flags() & ~Qt::ItemIsEditable);
        valueItem->setFlags(valueItem->flags() & ~Qt::ItemIsEditable);
    } else {
        valueItem->setData(kEllipsisRole, true);
    }
    list->setItem(row, 0, nameItem);
    list->setItem(row, 1, valueItem);
}

void SubjectListsPanel::AddEmptyRow(QTableWidget* list) {
    AddRow(list, {}, {}, false);
}

void SubjectListsPanel::RebuildLists() {
    listsReady_ = false;
    panelNumPreguntas_->hide();
    countRow_ = -1;
    const int keepOut = RowSubject(listaOut_, listaOut_->currentRow());
    {
        // The current row is set once, below, not for every row added.
        const QSignalBlocker blockOut(listaOut_);
        listaIn_->setRowCount(0);
        listaOut_->setRowCount(0);
        includedRows_.clear();
        excludedRows_.clear();
        largestSubject_ = 0;

        const Catalogue& catalogue = session_.GetCatalogue();
        const int exam = SelectedExamType();
        const ExamTypeRecord* record =
            !IsSpecificMode() && exam >= 0 && exam < catalogue.ExamTypeCount()
                ? &catalogue.examTypes[static_cast<std::size_t>(exam)]
                : nullptr;
        for (int i = 0; i < catalogue.SubjectCount() && i < kMaxSubjects; ++i) {
            const SubjectRecord& subject = catalogue.subjects[static_cast<std::size_t>(i)];
            const QString name = ToQString(catalogue.subjectNames[static_cast<std::size_t>(i)]);
            if (record && record->IsIncluded(i)) {
                AddRow(listaIn_, name, QString::number(record->QuestionsFor(i)), admin_);
                includedRows_.push_back(i);
            } else {
                AddRow(listaOut_, name, QString::number(subject.QuestionCount()), false);
                excludedRows_.push_back(i);
            }
            largestSubject_ = std::max(largestSubject_, subject.QuestionCount());
        }
        if (includedRows_.empty())
            AddEmptyRow(listaIn_);
        if (excludedRows_.empty())
            AddEmptyRow(listaOut_);
        listaIn_->setCurrentCell(0, 0);
    }
    UpdateTestTotal();
    UpdateBankTotal();
    listsReady_ = true;
    SetSelectedSubject(0);
    const auto kept = std::find(excludedRows_.begin(), excludedRows_.end(), keepOut);
    listaOut_->setCurrentCell(
        kept == excludedRows_.end() ? 0 : static_cast<int>(kept - excludedRows_.begin()), 0);
    ListaMateriasOutCurrentChanged();
}

void SubjectListsPanel::UpdateTestTotal() {
    qint64 sum = 0;
    for (int row = 0; row < listaIn_->rowCount(); ++row) {
        const std::optional<int> value = CellInteger(listaIn_->item(row, 1));
        sum += value ? *value : kNotANumberInTotal;
    }
    labelPreguntasTest_->setText(sum > kLargestTotal ? QStringLiteral("0") : QString::number(sum));
}

void SubjectListsPanel::UpdateBankTotal() {
    quint64 sum = 0;
    for (const SubjectRecord& subject : session_.GetCatalogue().subjects)
        sum += subject.QuestionCount();
    labelPreguntasBD_->setText(sum > static_cast<quint64>(kLargestTotal) ? QStringLiteral("0")
                                                                         : WithThousands(sum));
}

void SubjectListsPanel::MakeCurrentSubjectRow(QTableWidget* list, int subject) {
    const std::vector<int>& rows = list == listaIn_ ? includedRows_ : excludedRows_;
    const auto it = std::find(rows.begin(), rows.end(), subject);
    if (it == rows.end())
        return;
    const int row = static_cast<int>(it - rows.begin());
    list->setCurrentCell(row, 0);
    list->scrollToItem(list->item(row, 0));
}

// ---------------------------------------------------------------------------------------
// Mode, exam type, title

void SubjectListsPanel::RefreshDefaultTitle() {
    if (!editTitulo_ || editTitulo_->text().isEmpty())
        return;
    editTitulo_->setText(
        IsSpecificMode() ? QStringLiteral("Test específico - ") + editMateria_->text()
                         : QStringLiteral("Test general - ") + ExamTypeName(SelectedExamType()));
}

void SubjectListsPanel::ModeChanged() {
    const bool specific = IsSpecificMode();
    listaOut_->horizontalHeaderItem(0)->setText(specific ? QStringLiteral("Materias disponibles")
                                                         : QStringLiteral("Materias excluídas"));
    panelIn_->setVisible(!specific);
    panelTestEspecifico_->setVisible(specific);
    if (checkerNumPreguntas_) {
        if (specific) {
            rememberedForce_ = checkerNumPreguntas_->isChecked();
            checkerNumPreguntas_->setChecked(true);
            checkerNumPreguntas_->setEnabled(false);
        } else {
            checkerNumPreguntas_->setChecked(rememberedForce_);
            checkerNumPreguntas_->setEnabled(true);
        }
    }
    if (menuEliminarExamen_)
        menuEliminarExamen_->setEnabled(!specific);
    popupEliminarExamen_->setEnabled(!specific);
    RebuildLists();
    if (specific)
        editMateria_->setText(RowName(listaOut_, listaOut_->currentRow()));
    RefreshDefaultTitle();
}

void SubjectListsPanel::ExamTypeChanged(int index) {
    RebuildLists();
    if (editTitulo_)
        editTitulo_->setText(QStringLiteral("Test general - ") + ExamTypeName(index));
}

void SubjectListsPanel::SelectExamType(int index) {
    {
        const QSignalBlocker blocker(comboExamenes_);
        comboExamenes_->setCurrentIndex(index);
    }
    ExamTypeChanged(comboExamenes_->currentIndex());
}

void SubjectListsPanel::ListaMateriasOutCurrentChanged() {
    if (!listsReady_ || !IsSpecificMode())
        return;
    editMateria_->setText(RowName(listaOut_, listaOut_->currentRow()));
}

// ---------------------------------------------------------------------------------------
// Counts, include, exclude, rename

void SubjectListsPanel::ListaMateriasInChange(QTableWidgetItem* item) {
    if (!listsReady_ || !admin_ || !item)
        return;
    const int row = item->row();
    const int subject = RowSubject(listaIn_, row);
    if (subject < 0)
        return;
    if (item->column() == 0) {
        if (nameDelegate_->TakeEnter()) {
            RenameRow(row);
        } else {
            // Only Enter renames: any other change of the name cell is undone.
            listsReady_ = false;
            item->setText(
                ToQString(session_.GetCatalogue().subjectNames[static_cast<std::size_t>(subject)]));
            listsReady_ = true;
        }
        return;
    }
    Catalogue& catalogue = session_.GetCatalogue();
    bool ok = false;
    const qint64 typed = item->text().trimmed().toLongLong(&ok);
    if (!ok)
        return; // not a number: nothing is stored and the cell keeps the text
    const std::uint32_t available =
        catalogue.subjects[static_cast<std::size_t>(subject)].QuestionCount();
    // Negative numbers count as larger than any count, as unsigned numbers do. The count is
    // stored in one byte, so the cell shows no more than the catalogue can hold.
    std::uint32_t value = typed < 0 || typed > static_cast<qint64>(available)
                              ? available
                              : static_cast<std::uint32_t>(typed);
    value = std::min<std::uint32_t>(value, 255);
    if (QString::number(value) != item->text()) {
        listsReady_ = false;
        item->setText(QString::number(value));
        listsReady_ = true;
    }
    if (!catalogue.SetSubjectInExam(static_cast<int>(value), subject, SelectedExamType()))
        session_.GetDialogs().Error(this, QString::fromStdString(catalogue.ErrorString()));
    UpdateTestTotal();
}

void SubjectListsPanel::RenameRow(int row) {
    const int subject = RowSubject(listaIn_, row);
    QTableWidgetItem* item = listaIn_->item(row, 0);
    if (subject < 0 || !item)
        return;
    Catalogue& catalogue = session_.GetCatalogue();
    const QString oldName = ToQString(catalogue.subjectNames[static_cast<std::size_t>(subject)]);
    const QString newName = item->text();
    if (newName == oldName)
        return;
    auto restore = [&] {
        listsReady_ = false;
        item->setText(oldName);
        listsReady_ = true;
    };
    if (newName.isEmpty()) {
        restore();
        session_.GetDialogs().Error(
            this, QStringLiteral("\nEl nombre de la materia no puede quedar vacío."));
        return;
    }
    std::string bytes;
    if (const QString problem = SubjectMaintenance::NameProblem(newName, bytes);
        !problem.isEmpty()) {
        restore();
        session_.GetDialogs().Error(this, problem);
        return;
    }
    if (!catalogue.RenameSubject(subject, bytes)) {
        restore();
        const int other = catalogue.FindSubject(bytes);
        session_.GetDialogs().Error(
            this, other >= 0
                      ? QStringLiteral("\nYa existe una materia llamada ") + Quoted(newName) +
                            QStringLiteral(": elige otro nombre.")
                      : QStringLiteral("\nNo se ha podido cambiar el nombre de la materia ") +
                            Quoted(oldName) + QStringLiteral(".") +
                            QString::fromStdString(catalogue.ErrorString()));
    }
}

void SubjectListsPanel::ListaMateriasInDblClick(int row) {
    if (!admin_ || IsSpecificMode())
        return;
    const int subject = RowSubject(listaIn_, row);
    if (subject < 0)
        return;
    Catalogue& catalogue = session_.GetCatalogue();
    if (!catalogue.SetSubjectInExam(-1, subject, SelectedExamType()))
        session_.GetDialogs().Error(this, QString::fromStdString(catalogue.ErrorString()));
    RebuildLists();
    MakeCurrentSubjectRow(listaOut_, subject);
}

void SubjectListsPanel::ListaMateriasOutDblClick(int row) {
    if (!admin_ || IsSpecificMode())
        return;
    const int subject = RowSubject(listaOut_, row);
    const int exam = SelectedExamType();
    Catalogue& catalogue = session_.GetCatalogue();
    if (subject < 0 || exam < 0 || exam >= catalogue.ExamTypeCount())
        return;
    const int count = catalogue.examTypes[static_cast<std::size_t>(exam)].QuestionsFor(subject);
    if (!catalogue.SetSubjectInExam(count, subject, exam))
        session_.GetDialogs().Error(this, QString::fromStdString(catalogue.ErrorString()));
    RebuildLists();
    listaIn_->setFocus();
    MakeCurrentSubjectRow(listaIn_, subject);
}

void SubjectListsPanel::EllipsisClick(int row) {
    if (!admin_ || RowSubject(listaIn_, row) < 0)
        return;
    countRow_ = row;
    const int value = CellInteger(listaIn_->item(row, 1)).value_or(0);
    // A count above the arrows' range is shown as it is, not cut to 100.
    editNumPreguntas_->setRange(0, std::max(100, value));
    editNumPreguntas_->setValue(std::max(0, value));
    const QRect cell = listaIn_->visualItemRect(listaIn_->item(row, 1));
    const QPoint at = listaIn_->viewport()->mapTo(this, cell.topRight());
    panelNumPreguntas_->adjustSize();
    const int x = std::clamp(at.x() + 2, 0, std::max(0, width() - panelNumPreguntas_->width()));
    const int y = std::clamp(at.y(), 0, std::max(0, height() - panelNumPreguntas_->height()));
    panelNumPreguntas_->move(x, y);
    panelNumPreguntas_->show();
    panelNumPreguntas_->raise();
    editNumPreguntas_->setFocus();
    editNumPreguntas_->selectAll();
}

void SubjectListsPanel::BotonNumPreguntasOkClick() {
    panelNumPreguntas_->hide();
    const int row = countRow_;
    countRow_ = -1;
    if (RowSubject(listaIn_, row) < 0)
        return;
    listaIn_->setCurrentCell(row, 1);
    listaIn_->item(row, 1)->setText(editNumPreguntas_->text());
}

void SubjectListsPanel::BotonNumPreguntasCancelClick() {
    panelNumPreguntas_->hide();
    countRow_ = -1;
}

// ---------------------------------------------------------------------------------------
// Clicks and pop-ups

int SubjectListsPanel::ListRowY(const QTableWidget* list, int row) const {
    const QTableWidgetItem* item = list->item(row, 0);
    const QRect rect = item ? list->visualItemRect(item) : QRect();
    return list->viewport()->mapTo(this, rect.topLeft()).y();
}

void SubjectListsPanel::ListClicked(QTableWidget* list, int row) {
    if (!admin_)
        return;
    panelNuevoExamen_->hide();
    includeNewSubject_ = list == listaIn_;
    const int subject = RowSubject(list, row);
    if (row >= 0 && row < list->rowCount()) {
        list->setCurrentCell(row, list->currentColumn() < 0 ? 0 : list->currentColumn());
        if (subject >= 0)
            SetSelectedSubject(subject);
        (list == listaIn_ ? popupEliminarIn_ : popupEliminarOut_)->setEnabled(HasDataRows(list));
        namePanelRowY_ = ListRowY(list, row);
    }
}

void SubjectListsPanel::ShowListMenu(QTableWidget* list, const QPoint& pos) {
    if (!admin_)
        return;
    popupList_ = list;
    (list == listaIn_ ? popupEliminarIn_ : popupEliminarOut_)->setEnabled(HasDataRows(list));
    (list == listaIn_ ? menuIn_ : menuOut_)->popup(list->viewport()->mapToGlobal(pos));
}

void SubjectListsPanel::ShowExamMenu(const QPoint& pos) {
    if (!admin_)
        return;
    popupEliminarExamen_->setEnabled(!IsSpecificMode());
    menuExamenes_->popup(comboExamenes_->mapToGlobal(pos));
}

bool SubjectListsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == listaIn_->viewport() || watched == listaOut_->viewport())) {
        QTableWidget* list = watched == listaIn_->viewport() ? listaIn_ : listaOut_;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        ListClicked(list, list->rowAt(mouse->position().toPoint().y()));
    } else if (watched == nuevoExamenEdit_ && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        HideNamePanel();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SubjectListsPanel::mousePressEvent(QMouseEvent* event) {
    HideNamePanel();
    QWidget::mousePressEvent(event);
}

// ---------------------------------------------------------------------------------------
// The shared name panel

void SubjectListsPanel::OpenNamePanel(NamePanelAction action, const QString& caption, int y) {
    if (!admin_)
        return;
    nameAction_ = action;
    nuevoExamenEdit_->clear();
    labelNuevoNombre_->setText(caption);
    const int width = std::max(200, splitter_->width() - 20);
    panelNuevoExamen_->resize(width, panelNuevoExamen_->sizeHint().height());
    const int maxY = std::max(0, height() - panelNuevoExamen_->height());
    panelNuevoExamen_->move(splitter_->x() + 10, std::clamp(y, 0, maxY));
    panelNuevoExamen_->show();
    panelNuevoExamen_->raise();
    nuevoExamenEdit_->setFocus();
}

void SubjectListsPanel::HideNamePanel() {
    panelNuevoExamen_->hide();
    nameAction_ = NamePanelAction::None;
}

void SubjectListsPanel::BotonNuevoExamenOkClick() {
    if (!panelNuevoExamen_->isVisible() && nameAction_ == NamePanelAction::None)
        return;
    const QString text = nuevoExamenEdit_->text();
    const NamePanelAction action = nameAction_;
    if (text.isEmpty() || !admin_) {
        HideNamePanel();
        return;
    }
    switch (action) {
    case NamePanelAction::NewExamType:
        HideNamePanel();
        NewExamType(text);
        break;
    case NamePanelAction::NewSubject:
        HideNamePanel();
        NewSubject(text);
        break;
    case NamePanelAction::Search:
        if (SearchSubject(text)) {
            HideNamePanel();
        } else {
            maintenance_->ReportSearchFailure();
            nuevoExamenEdit_->selectAll();
            nuevoExamenEdit_->setFocus();
        }
        break;
    case NamePanelAction::None:
        HideNamePanel();
        break;
    }
}

void SubjectListsPanel::NewExamType(const QString& name) {
    std::string bytes;
    if (const QString problem = SubjectMaintenance::NameProblem(name, bytes); !problem.isEmpty()) {
        session_.GetDialogs().Error(this, problem);
        return;
    }
    Catalogue& catalogue = session_.GetCatalogue();
    if (!catalogue.AddExamType(bytes)) {
        session_.GetDialogs().Error(this, QString::fromStdString(catalogue.ErrorString()));
        catalogue.LoadCatalogue();
    }
    FillExamList();
    SelectExamType(comboExamenes_->count() - 1);
}

void SubjectListsPanel::NewSubject(const QString& name) {
    const int subject = maintenance_->CreateSubject(name, SelectedExamType());
    if (subject < 0)
        return;
    RebuildLists();
    MakeCurrentSubjectRow(listaOut_, subject);
    SetSelectedSubject(subject);
    if (includeNewSubject_) {
        Catalogue& catalogue = session_.GetCatalogue();
        if (!catalogue.SetSubjectInExam(0, subject, SelectedExamType()))
            session_.GetDialogs().Error(this, QString::fromStdString(catalogue.ErrorString()));
        RebuildLists();
        MakeCurrentSubjectRow(listaIn_, subject);
        includeNewSubject_ = false;
    }
}

bool SubjectListsPanel::SearchSubject(const QString& text) {
    const QString key = SubjectMaintenance::SearchKey(text);
    for (QTableWidget* list : {listaIn_, listaOut_}) {
        const std::vector<int>& rows = list == listaIn_ ? includedRows_ : excludedRows_;
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            if (!SubjectMaintenance::SearchKey(RowName(list, row)).contains(key))
                continue;
            list->scrollToItem(list->item(row, 0));
            list->setCurrentCell(row, 0);
            SetSelectedSubject(rows[static_cast<std::size_t>(row)]);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------
// Commands

void SubjectListsPanel::NuevoExamen() {
    if (!admin_)
        return;
    testGeneral_->setChecked(true);
    OpenNamePanel(NamePanelAction::NewExamType, QStringLiteral("Nuevo tipo de exámen"),
                  splitter_->y() + 46);
}

void SubjectListsPanel::EliminarExamen() {
    if (!admin_)
        return;
    Catalogue& catalogue = session_.GetCatalogue();
    const int exam = SelectedExamType();
    if (catalogue.ExamTypeCount() <= 1) {
        session_.GetDialogs().Error(
            this, QStringLiteral("\nNo se puede eliminar... Sólo queda este tipo de exámen!"));
        return;
    }
    if (exam < 0 || exam >= catalogue.ExamTypeCount())
        return;
    if (session_.GetDialogs().Message(
            this, MessageKind::Warning,
            QStringLiteral("\n¿Seguro que quieres eliminar el tipo de exámen ") +
                Quoted(ExamTypeName(exam)) + QStringLiteral("?"),
            Yes | No | Cancel) != Yes)
        return;
    if (!catalogue.DeleteExamType(exam)) {
        session_.GetDialogs().Error(this, QString::fromStdString(catalogue.ErrorString()));
        catalogue.LoadCatalogue();
    }
    FillExamList();
    SelectExamType(comboExamenes_->count() - 1);
}

void SubjectListsPanel::NuevaMateria() {
    if (!admin_)
        return;
    includeNewSubject_ = false;
    OpenNamePanel(NamePanelAction::NewSubject, QStringLiteral("Nueva materia"),
                  listaOut_->mapTo(this, QPoint(0, 0)).y());
}

void SubjectListsPanel::PopupNuevaMateria() {
    OpenNamePanel(NamePanelAction::NewSubject, QStringLiteral("Nueva materia"), namePanelRowY_);
}

void SubjectListsPanel::BuscarMateria() {
    if (!admin_)
        return;
    OpenNamePanel(NamePanelAction::Search, QStringLiteral("Buscar materia"), splitter_->y() + 6);
}

void SubjectListsPanel::EliminarMateria() {
    if (!admin_)
        return;
    const Catalogue& catalogue = session_.GetCatalogue();
    const int subject = selectedSubject_;
    if (subject < 0 || subject >= catalogue.SubjectCount())
        return;
    maintenance_->DeleteSubject(
        subject, ToQString(catalogue.subjectNames[static_cast<std::size_t>(subject)]));
}

QTableWidget* SubjectListsPanel::PopupList() const {
    return popupList_ ? popupList_ : listaOut_;
}

void SubjectListsPanel::PopupEliminarMateria() {
    if (!admin_)
        return;
    QTableWidget* list = PopupList();
    const int row = list->currentRow();
    const int subject = RowSubject(list, row);
    if (subject < 0)
        return;
    maintenance_->DeleteSubject(subject, RowName(list, row));
}

void SubjectListsPanel::PopupReiniciarPreguntas() {
    if (!admin_)
        return;
    QTableWidget* list = PopupList();
    const int row = list->currentRow();
    const int subject = RowSubject(list, row);
    if (subject < 0)
        return;
    maintenance_->ResetSubject(subject, RowName(list, row));
}

void SubjectListsPanel::PopupRepararMateria() {
    if (!admin_)
        return;
    const int subject = RowSubject(PopupList(), PopupList()->currentRow());
    if (subject < 0)
        return;
    maintenance_->RepairSubject(subject);
}

void SubjectListsPanel::ReiniciarTodasLasMaterias() {
    if (!admin_)
        return;
    maintenance_->ResetAllSubjects();
}

void SubjectListsPanel::DetectarYRepararErrores() {
    if (!admin_)
        return;
    progress_->setRange(0, std::max(1, session_.GetCatalogue().SubjectCount()));
    progress_->setValue(0);
    progress_->show();
    maintenance_->RepairAllSubjects([this](int done, int total) {
        progress_->setRange(0, std::max(1, total));
        progress_->setValue(done);
        if (done >= total)
            progress_->hide();
        // Painted at once: running the event loop here would let timers start other work
        // on the catalogue in the middle of the repair.
        progress_->repaint();
    });
    progress_->hide();
}

} // namespace vexamo

// The subject lists panel: its controls, the list rebuild, the totals and the mode and
// exam type changes. Editing lives in SubjectListsPanelEditing.cpp, the name panel and the
// commands in SubjectListsPanelCommands.cpp.

#include "bank/SubjectListsPanel.h"

#include "bank/Catalogue.h"
#include "bank/SubjectListsPanelParts.h"
#include "bank/SubjectMaintenance.h"
#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "platform/Session.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vexamo {

using namespace listparts;

namespace {

constexpr qint64 kNotANumberInTotal = 999999;
constexpr qint64 kLargestTotal = 999998;

// Digits grouped by three with ".", the Spanish way, whatever the machine's locale.
QString WithThousands(quint64 value) {
    QString digits = QString::number(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char('.'));
    return digits;
}

QPushButton* MakeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// A subject list: a name column and a count column, one row selected at a time.
QTableWidget* MakeSubjectList(QWidget* parent, const QString& name, const QString& namesHeader,
                              const QString& countsHeader) {
    auto* list = new QTableWidget(0, 2, parent);
    list->setObjectName(name);
    list->setHorizontalHeaderLabels({namesHeader, countsHeader});
    list->setColumnWidth(0, 242);
    // The count column keeps its header readable whatever the font; the name column takes
    // whatever width the list has left.
    QHeaderView* header = list->horizontalHeader();
    list->setColumnWidth(1, std::max(105, header->sectionSizeHint(1)));
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setHighlightSections(false);
    list->verticalHeader()->hide();
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

// A panel placed by hand over the lists, near the row it concerns.
QFrame* MakeFloatingPanel(QWidget* parent, const QString& name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    return panel;
}

// A caption followed by a count in `colour`, added to `layout` as one row; returns the count.
QLabel* AddTotalRow(QBoxLayout* layout, QWidget* parent, const QString& caption,
                    const QString& name, const QColor& colour) {
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(caption, parent));
    auto* count = new QLabel(QStringLiteral("0"), parent);
    count->setObjectName(name);
    QPalette palette = count->palette();
    palette.setColor(QPalette::WindowText, colour);
    count->setPalette(palette);
    row->addWidget(count);
    row->addStretch();
    layout->addLayout(row);
    return count;
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
    listaIn_ = MakeSubjectList(panelIn_, QStringLiteral("ListaMateriasIn"),
                               QStringLiteral("Materias incluídas en este examen"),
                               QStringLiteral("Num. preguntas"));
    nameDelegate_ = new NameDelegate(listaIn_);
    listaIn_->setItemDelegateForColumn(0, nameDelegate_);
    listaIn_->setItemDelegateForColumn(
        1, new EllipsisDelegate(listaIn_, [this](int row) { EllipsisClick(row); }));
    inLayout->addWidget(listaIn_, 1);
    labelPreguntasTest_ =
        AddTotalRow(inLayout, panelIn_, QStringLiteral("Total preguntas test:"),
                    QStringLiteral("LabelPreguntasTest"), QColor(0, 128, 0));
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
    listaOut_ = MakeSubjectList(lower, QStringLiteral("ListaMateriasOut"),
                                QStringLiteral("Materias excluídas"),
                                QStringLiteral("Preguntas disp."));
    listaOut_->setSelectionBehavior(QAbstractItemView::SelectRows);
    listaOut_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    outLayout->addWidget(listaOut_, 1);
    labelPreguntasBD_ =
        AddTotalRow(outLayout, lower, QStringLiteral("Total preguntas disponibles:"),
                    QStringLiteral("LabelPreguntasBD"), QColor(128, 0, 0));
    progress_ = new QProgressBar(lower);
    progress_->setObjectName(QStringLiteral("BarraReparacion"));
    progress_->hide();
    outLayout->addWidget(progress_);

    // Floating panels, placed by hand near the row they concern.
    auto* numPanel = MakeFloatingPanel(this, QStringLiteral("PanelNumPreguntasTest"));
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

    auto* namePanel = MakeFloatingPanel(this, QStringLiteral("PanelNuevoExamen"));
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
    if (checkerNumPreguntas_ && specific)
        ForceCountCheck();
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

const std::vector<int>& SubjectListsPanel::RowsOf(const QTableWidget* list) const {
    return list == listaIn_ ? includedRows_ : excludedRows_;
}

bool SubjectListsPanel::HasDataRows(const QTableWidget* list) const {
    return !RowsOf(list).empty();
}

int SubjectListsPanel::RowSubject(const QTableWidget* list, int row) const {
    const std::vector<int>& rows = RowsOf(list);
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

void SubjectListsPanel::SetCellQuietly(QTableWidgetItem* item, const QString& text) {
    listsReady_ = false;
    item->setText(text);
    listsReady_ = true;
}

void SubjectListsPanel::ReportCatalogueError() {
    session_.GetDialogs().Error(
        this, QString::fromStdString(session_.GetCatalogue().ErrorString()));
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
    const std::vector<int>& rows = RowsOf(list);
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
            ForceCountCheck();
        } else {
            checkerNumPreguntas_->setChecked(rememberedForce_);
            checkerNumPreguntas_->setEnabled(true);
        }
    }
    if (menuEliminarExamen_)
        menuEliminarExamen_->setEnabled(!specific);
    popupEliminarExamen_->setEnabled(!specific);
    RebuildLists(); // in specific mode this also shows the current subject in EditMateria
    RefreshDefaultTitle();
}

void SubjectListsPanel::ForceCountCheck() {
    rememberedForce_ = checkerNumPreguntas_->isChecked();
    checkerNumPreguntas_->setChecked(true);
    checkerNumPreguntas_->setEnabled(false);
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

} // namespace vexamo

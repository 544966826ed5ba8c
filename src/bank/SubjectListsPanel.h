#pragma once
// The left part of the main window: test mode, exam type selector, the included and the
// excluded subject lists with their totals, the count panel and the shared name panel.
// For the administrator it is also where exam types and subjects are maintained; every
// change goes through the catalogue operations, never through the file bytes.

#include <QWidget>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QSplitter;
class QTableWidget;
class QTableWidgetItem;

namespace vexamo {

class NameDelegate;
class Session;
class SubjectMaintenance;

class SubjectListsPanel : public QWidget {
    Q_OBJECT

  public:
    explicit SubjectListsPanel(Session& session, QWidget* parent = nullptr);
    ~SubjectListsPanel() override;

    // Controls of the main window that follow the mode; any may be null.
    void AttachCompanions(QCheckBox* checkerNumPreguntas, QLineEdit* editTitulo,
                          QAction* menuEliminarExamen);
    // The topic options, shown inside PanelTestEspecifico under "Materia:".
    void SetTopicOptions(QWidget* topicOptions);
    // Only the administrator (-1) edits counts, includes, excludes and gets the pop-ups.
    void ApplyRole(int currentRole);

    void FillExamList();
    void RebuildLists();

    int SelectedExamType() const;
    bool IsSpecificMode() const;
    int SelectedSubject() const;
    // (subject, count cell read as an integer, -1 when it is not one) per data row of the
    // included list.
    std::vector<std::pair<int, int>> IncludedCounts() const;
    // Subject of ListaMateriasOut's current data row, or -1.
    int CurrentAvailableSubject() const;
    QString EditMateriaText() const;
    std::uint32_t LargestSubject() const;

    // Height of the included list's panel, kept by the settings file.
    int IncludedPanelHeight() const;
    void SetIncludedPanelHeight(int height);

  public slots:
    // Commands of the main window's menus.
    void NuevoExamen();
    void EliminarExamen();
    void NuevaMateria();
    void EliminarMateria();
    void BuscarMateria();
    void ReiniciarTodasLasMaterias();
    void DetectarYRepararErrores();

  signals:
    // SelectedSubject changed; the main window enables "&Materia" when it is 0 or more.
    void SelectedSubjectChanged(int subject);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class NamePanelAction { None, NewExamType, NewSubject, Search };

    void BuildControls();
    void BuildMenus();
    QString ExamTypeName(int examType) const;
    void SetSelectedSubject(int subject);
    void UpdateTestTotal();
    void UpdateBankTotal();
    void RefreshDefaultTitle();
    void MakeCurrentSubjectRow(QTableWidget* list, int subject);
    // Subjects of the list's data rows, in row order.
    const std::vector<int>& RowsOf(const QTableWidget* list) const;
    bool HasDataRows(const QTableWidget* list) const;
    int RowSubject(const QTableWidget* list, int row) const;
    QString RowName(const QTableWidget* list, int row) const;
    void AddRow(QTableWidget* list, const QString& name, const QString& value, bool ellipsis);
    void AddEmptyRow(QTableWidget* list);
    // Sets a cell's text without it counting as an edit.
    void SetCellQuietly(QTableWidgetItem* item, const QString& text);
    // Shows why the last catalogue operation failed.
    void ReportCatalogueError();
    // In specific mode the count check box is forced on; its state is kept for the way back.
    void ForceCountCheck();
    // The list's "Eliminar materia" is enabled only while the list shows a subject.
    void UpdateDeleteAction(const QTableWidget* list);

    // Handlers.
    void ModeChanged();
    void ExamTypeChanged(int index);
    void ListaMateriasInChange(QTableWidgetItem* item);
    void ListaMateriasInDblClick(int row);
    void ListaMateriasOutDblClick(int row);
    void ListaMateriasOutCurrentChanged();
    void ListClicked(QTableWidget* list, int row);
    void RenameRow(int row);
    void SelectExamType(int index);
    void EllipsisClick(int row);
    void BotonNumPreguntasOkClick();
    void BotonNumPreguntasCancelClick();
    void OpenNamePanel(NamePanelAction action, const QString& caption, int y);
    void BotonNuevoExamenOkClick();
    void HideNamePanel();
    void NewExamType(const QString& name);
    void NewSubject(const QString& name);
    bool SearchSubject(const QString& text);
    void ShowListMenu(QTableWidget* list, const QPoint& pos);
    void ShowExamMenu(const QPoint& pos);
    int ListRowY(const QTableWidget* list, int row) const;

    // Commands of the lists' pop-ups, acting on the current row of `list`.
    void PopupNuevaMateria();
    void PopupEliminarMateria();
    void PopupReiniciarPreguntas();
    void PopupRepararMateria();
    QTableWidget* PopupList() const;
    // The subject in the pop-up list's current row and its name as shown; -1 when the row
    // holds none.
    std::pair<int, QString> PopupSubject() const;

    Session& session_;
    std::unique_ptr<SubjectMaintenance> maintenance_;

    QRadioButton* testGeneral_ = nullptr;
    QRadioButton* testEspecifico_ = nullptr;
    QComboBox* comboExamenes_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QWidget* panelIn_ = nullptr;
    QTableWidget* listaIn_ = nullptr;
    NameDelegate* nameDelegate_ = nullptr;
    QLabel* labelPreguntasTest_ = nullptr;
    QTableWidget* listaOut_ = nullptr;
    QLabel* labelPreguntasBD_ = nullptr;
    QWidget* panelTestEspecifico_ = nullptr;
    QLineEdit* editMateria_ = nullptr;
    QWidget* topicHost_ = nullptr;
    QWidget* panelNumPreguntas_ = nullptr;
    QSpinBox* editNumPreguntas_ = nullptr;
    QWidget* panelNuevoExamen_ = nullptr;
    QLabel* labelNuevoNombre_ = nullptr;
    QLineEdit* nuevoExamenEdit_ = nullptr;
    QMenu* menuIn_ = nullptr;
    QMenu* menuOut_ = nullptr;
    QMenu* menuExamenes_ = nullptr;
    QAction* popupEliminarIn_ = nullptr;
    QAction* popupEliminarOut_ = nullptr;
    QAction* popupEliminarExamen_ = nullptr;
    QProgressBar* progress_ = nullptr;

    QCheckBox* checkerNumPreguntas_ = nullptr;
    QLineEdit* editTitulo_ = nullptr;
    QAction* menuEliminarExamen_ = nullptr;

    std::vector<int> includedRows_;
    std::vector<int> excludedRows_;
    int selectedSubject_ = 0;
    bool includeNewSubject_ = false;
    bool listsReady_ = false;
    std::uint32_t largestSubject_ = 0;
    bool rememberedForce_ = false;
    bool admin_ = false;
    int countRow_ = -1;                 // row whose count the count panel edits
    QTableWidget* popupList_ = nullptr; // list whose pop-up was opened last
    int namePanelRowY_ = 0;             // where the last row click places the name panel
    NamePanelAction nameAction_ = NamePanelAction::None;
};

} // namespace vexamo

#pragma once
// Pieces shared by the source files of SubjectListsPanel and by SubjectMaintenance: the
// delegates of the included list's two columns and small helpers for its cells and messages.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidgetItem>

#include <functional>
#include <optional>
#include <utility>

namespace vexamo {

namespace listparts {

inline constexpr int kEllipsisWidth = 18;
// Item data role of the count cells that show the "..." button.
inline constexpr int kEllipsisRole = Qt::UserRole + 1;

// The cell's text as an integer, or nullopt when it is not one.
inline std::optional<int> CellInteger(const QTableWidgetItem* item) {
    if (!item)
        return std::nullopt;
    bool ok = false;
    const int value = item->text().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

inline QString Quoted(const QString& name) {
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

} // namespace listparts

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

} // namespace vexamo

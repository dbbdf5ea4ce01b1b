#include "common/ui/Widgets.h"

#include <QComboBox>
#include <QHash>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStringListModel>

#include <algorithm>

namespace tv {

ClickLabel::ClickLabel(QWidget *parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::setBackground(const QColor &colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QLabel::mousePressEvent(event);
}

ListBox::ListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMouseTracking(true);
    // One-line entries: the list need not measure each of the thousands of
    // lines a doctor's history holds.
    setUniformItemSizes(true);
}

QString ListBox::text(int row) const
{
    const QListWidgetItem *entry = item(row);
    return entry ? entry->text() : QString();
}

void ListBox::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->button());
    const int before = currentRow();
    QListWidget::mousePressEvent(event);
    // The entry under the pointer must be the one selected before: a
    // selection handler may have put the list back on it meanwhile.
    QListWidgetItem *hit = itemAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && before >= 0 && currentRow() == before && hit != nullptr
        && row(hit) == before)
        emit reselected();
}

void ListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void ListBox::focusInEvent(QFocusEvent *event)
{
    if (currentRow() >= 0) {
        QListWidget::focusInEvent(event);
        return;
    }
    // Reached with the keyboard, the view makes the first entry current
    // without selecting it, which the lists would take for a choice. Focus
    // alone chooses nothing; the arrow keys then start at the first entry.
    const QSignalBlocker blocker(this);
    QListWidget::focusInEvent(event);
    if (selectedItems().isEmpty())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

QString LineModel::tip(int row) const
{
    return line(row);
}

QVariant LineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return line(index.row());
    if (role == Qt::ToolTipRole) {
        const QString text = tip(index.row());
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    return {};
}

void StringLineModel::setLines(const QStringList &lines, bool withTips)
{
    if (withTips != m_tips) {
        beginResetModel();
        m_lines = lines;
        m_tips = withTips;
        endResetModel();
        return;
    }
    const qsizetype common = std::min(m_lines.size(), lines.size());
    qsizetype head = 0;
    while (head < common && m_lines.at(head) == lines.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < common - head && m_lines.at(m_lines.size() - 1 - tail) == lines.at(lines.size() - 1 - tail))
        ++tail;
    const qsizetype removed = m_lines.size() - head - tail;
    const qsizetype added = lines.size() - head - tail;
    if (removed > 0) {
        beginRemoveRows({}, static_cast<int>(head), static_cast<int>(head + removed - 1));
        m_lines.remove(head, removed);
        endRemoveRows();
    }
    if (added > 0) {
        beginInsertRows({}, static_cast<int>(head), static_cast<int>(head + added - 1));
        for (qsizetype k = 0; k < added; ++k)
            m_lines.insert(head + k, lines.at(head + k));
        endInsertRows();
    }
}

int StringLineModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

LineView::LineView(QWidget *parent)
    : QListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    setUniformItemSizes(true);
    setLineModel(new StringLineModel(this));
}

void LineView::setLineModel(LineModel *model)
{
    LineModel *previous = m_model;
    m_model = model;
    setModel(model);
    if (previous && previous->parent() == this)
        delete previous;
}

StringLineModel *LineView::strings() const
{
    return qobject_cast<StringLineModel *>(m_model);
}

void LineView::setLines(const QStringList &lines)
{
    if (StringLineModel *model = strings())
        model->setLines(lines);
}

QString LineView::text(int row) const
{
    if (row < 0 || row >= count())
        return QString();
    m_model->prepareRows(row, row);
    return m_model->line(row);
}

void LineView::setCurrentRow(int row)
{
    setCurrentIndex(row >= 0 && row < count() ? m_model->index(row) : QModelIndex());
}

QStringList LineView::allLines()
{
    fetchAll();
    QStringList lines;
    lines.reserve(count());
    for (int i = 0; i < count(); ++i)
        lines.append(text(i));
    return lines;
}

void LineView::fetchAll()
{
    m_model->prepareRows(0, count() - 1);
}

void LineView::paintEvent(QPaintEvent *event)
{
    // The rows' places first, then what lies in the viewport.
    executeDelayedItemsLayout();
    const QModelIndex first = indexAt(QPoint(1, 1));
    if (first.isValid()) {
        const QModelIndex last = indexAt(QPoint(1, viewport()->height() - 2));
        const int rows = count();
        m_model->prepareRows(first.row(), last.isValid() ? last.row() : rows - 1);
        if (count() != rows)
            executeDelayedItemsLayout();
    }
    QListView::paintEvent(event);
}

void LineView::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->button());
    const int before = currentRow();
    QListView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && before >= 0 && currentRow() == before
        && indexAt(event->position().toPoint()).isValid())
        emit reselected();
}

void LineView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

namespace {

// Entries no longer wanted go, wanted ones come in at their place; what
// stayed keeps its rows' objects, so the view keeps its selection.
template<typename Entries>
void syncWith(Entries &&box, const QStringList &entries)
{
    QHash<QString, int> wanted;
    for (const QString &entry : entries)
        ++wanted[entry];
    for (int i = box.count() - 1; i >= 0; --i) {
        auto left = wanted.find(box.text(i));
        if (left == wanted.end() || left.value() == 0)
            box.remove(i);
    }
    // What is left is kept once for each time it is wanted, latest last.
    QHash<QString, int> kept;
    for (int i = 0; i < box.count(); ++i)
        if (++kept[box.text(i)] > wanted.value(box.text(i)))
            box.remove(i--);
    for (int i = 0; i < entries.size(); ++i)
        if (i >= box.count() || box.text(i) != entries.at(i))
            box.insert(i, entries.at(i));
    while (box.count() > entries.size())
        box.remove(box.count() - 1);
}

} // namespace

void syncEntries(QListWidget *list, const QStringList &entries)
{
    const QSignalBlocker blocker(list);
    const QString selected = list->currentRow() >= 0 ? list->currentItem()->text() : QString();
    struct {
        QListWidget *w;
        int count() const { return w->count(); }
        QString text(int i) const { return w->item(i)->text(); }
        void remove(int i) { delete w->takeItem(i); }
        void insert(int i, const QString &t) { w->insertItem(i, t); }
    } box{list};
    syncWith(box, entries);
    if (list->currentRow() < 0 || list->currentItem()->text() != selected)
        list->setCurrentRow(selected.isNull() ? -1 : static_cast<int>(entries.indexOf(selected)));
}

void syncEntries(QComboBox *combo, const QStringList &entries)
{
    const QSignalBlocker blocker(combo);
    const QString selected = combo->currentIndex() >= 0 ? combo->currentText() : QString();
    struct {
        QComboBox *w;
        int count() const { return w->count(); }
        QString text(int i) const { return w->itemText(i); }
        void remove(int i) { w->removeItem(i); }
        void insert(int i, const QString &t) { w->insertItem(i, t); }
    } box{combo};
    syncWith(box, entries);
    if (combo->currentIndex() < 0 || combo->currentText() != selected)
        combo->setCurrentIndex(selected.isNull() ? -1 : static_cast<int>(entries.indexOf(selected)));
}

void setEntries(QComboBox *combo, const QStringList &entries)
{
    const QSignalBlocker blocker(combo);
    if (auto *names = qobject_cast<QStringListModel *>(combo->model())) {
        names->setStringList(entries);
    } else {
        combo->clear();
        combo->addItems(entries);
    }
    combo->setCurrentIndex(-1);
}

QToolButton *pictureButton(const QString &name, const QString &iconPath, QWidget *parent)
{
    auto *button = named<QToolButton>(name, parent);
    if (!iconPath.isEmpty())
        button->setIcon(QIcon(iconPath));
    button->setIconSize(QSize(32, 32));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace tv

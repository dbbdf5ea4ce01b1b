#include "common/ui/Widgets.h"

#include <QMouseEvent>
#include <QSignalBlocker>

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
    beginResetModel();
    m_lines = lines;
    m_tips = withTips;
    endResetModel();
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
    return row >= 0 && row < count() ? m_model->line(row) : QString();
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
    while (m_model->canFetchMore({}))
        m_model->fetchMore({});
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

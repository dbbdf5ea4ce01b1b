#include "app/ui/Widgets.h"

#include <QMouseEvent>

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

QString ListBox::text() const
{
    const QListWidgetItem *item = currentRow() >= 0 ? this->item(currentRow()) : nullptr;
    return item ? item->text() : QString();
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

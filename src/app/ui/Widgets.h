#pragma once

#include <QLabel>
#include <QListWidget>
#include <QString>
#include <QToolButton>

class QWidget;

namespace tv {

// Creates a child widget carrying the given object name.
template <typename W, typename... Args>
W *named(const QString &name, QWidget *parent, Args &&...args)
{
    auto *w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(name);
    return w;
}

// A label that reports clicks, with a tag text (the month buttons).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);

    QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    void setBackground(const QColor &colour);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QString m_tag;
};

// A list box that also reports double clicks and right presses on empty
// space, and tells which row lies under the pointer (the list tooltips).
class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget *parent = nullptr);

    QString text() const; // the selected entry, "" when none

signals:
    void pressed(Qt::MouseButton button);
    // A left click on the entry that was already selected (selecting another
    // entry reports currentRowChanged instead).
    void reselected();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

// The picture buttons of the icon bar and of the pages.
QToolButton *pictureButton(const QString &name, const QString &iconPath, QWidget *parent);

} // namespace tv

#pragma once

#include <QAbstractListModel>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QString>
#include <QToolButton>

class QComboBox;
class QWidget;

namespace tv {

// Creates a child widget carrying the given object name.
template<typename W, typename... Args>
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

// What the controllers and the tests need of a list of lines, whether it
// holds its own items (short lists) or shows a model (lists of thousands).
class LineAccess {
public:
    virtual ~LineAccess() = default;
    virtual int count() const = 0; // the lines the list holds now
    virtual QString text(int row) const = 0;
    virtual int currentRow() const = 0;
    virtual void setCurrentRow(int row) = 0;
    // The selected entry, "" when none.
    QString text() const { return currentRow() >= 0 ? text(currentRow()) : QString(); }
};

// A list box that also reports double clicks and right presses on empty
// space, and tells which row lies under the pointer (the list tooltips).
class ListBox : public QListWidget, public LineAccess {
    Q_OBJECT
public:
    explicit ListBox(QWidget *parent = nullptr);

    int count() const override { return QListWidget::count(); }
    QString text(int row) const override;
    using LineAccess::text;
    int currentRow() const override { return QListWidget::currentRow(); }
    void setCurrentRow(int row) override { QListWidget::setCurrentRow(row); }

signals:
    void pressed(Qt::MouseButton button);
    // A left click on the entry that was already selected (selecting another
    // entry reports currentRowChanged instead).
    void reselected();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
};

// The rows of a long list, its lines made only when the view shows them.
class LineModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    virtual QString line(int row) const = 0;
    virtual QString tip(int row) const; // "" for none; the line by default
    virtual void clear() = 0;           // one reset
    // A model that reads its rows on demand reads these now (the view asks
    // before it paints them); the others hold every row already.
    virtual void prepareRows(int first, int last)
    {
        Q_UNUSED(first);
        Q_UNUSED(last);
    }
    QVariant data(const QModelIndex &index, int role) const override;
};

// A model of lines already made: the short lists. New lines move only the
// rows that differ, so the selection and the scroll position stay.
class StringLineModel : public LineModel {
    Q_OBJECT
public:
    using LineModel::LineModel;

    void setLines(const QStringList &lines, bool withTips = false);
    int rowCount(const QModelIndex &parent = {}) const override;
    QString line(int row) const override { return m_lines.at(row); }
    QString tip(int row) const override { return m_tips ? m_lines.at(row) : QString(); }
    void clear() override { setLines({}); }

private:
    QStringList m_lines;
    bool m_tips = false;
};

// The view of a LineModel with the signals of ListBox: every line has the
// same height, so the view never measures the thousands it does not show.
class LineView : public QListView, public LineAccess {
    Q_OBJECT
public:
    explicit LineView(QWidget *parent = nullptr);

    // The view shows this model; without one it uses a StringLineModel.
    void setLineModel(LineModel *model);
    StringLineModel *strings() const;        // nullptr when another model is shown
    void setLines(const QStringList &lines); // the StringLineModel's lines

    int count() const override { return m_model->rowCount(); }
    QString text(int row) const override;
    using LineAccess::text;
    int currentRow() const override { return currentIndex().row(); }
    void setCurrentRow(int row) override;
    void clear() { m_model->clear(); }
    // Reads every row of a model filled on demand.
    void fetchAll();
    // Every line, also those the view has not read yet.
    QStringList allLines();

signals:
    void pressed(Qt::MouseButton button);
    void reselected();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    // The rows about to be shown are read first.
    void paintEvent(QPaintEvent *event) override;

private:
    LineModel *m_model = nullptr;
};

// Brings the entries of a list box or a combo to `entries`, kept in the
// same order, moving only those that differ: the scroll position stays, the
// selected entry stays selected when it is still there and none is
// selected otherwise. No handler runs.
void syncEntries(QListWidget *list, const QStringList &entries);
void syncEntries(QComboBox *combo, const QStringList &entries);
// The combo's entries replaced at once: whole by a QStringListModel (no
// item per name), one by one otherwise. Nothing is left chosen.
void setEntries(QComboBox *combo, const QStringList &entries);

// The picture buttons of the icon bar and of the pages.
QToolButton *pictureButton(const QString &name, const QString &iconPath, QWidget *parent);

} // namespace tv

#pragma once

#include "store/tables/Records.h"

#include <QObject>
#include <QString>
#include <optional>

class QLineEdit;
class QWidget;

namespace tv {
class MainWindow;
struct LaboWidgets;

// The record panel of the "Laboratoire" page, bound to one Labo row. An
// edited field goes to the row when it loses the focus, when another
// laboratory is shown and when the window closes; nothing is written when
// nothing changed, and only the columns that changed are written.
class LabPanel : public QObject {
    Q_OBJECT
public:
    LabPanel(MainWindow &main, LaboWidgets &w);

    void connectSignals();

    // Shows the row of the laboratory; an unknown name leaves the panel
    // empty. Throws StoreError.
    void load(const QString &labo);
    // Writes the pending edits; when the row was deleted or renamed
    // elsewhere, writes nothing, lets it go, reports vanished() and throws.
    // Throws StoreError.
    void save();
    // The row as another workstation may have left it: the fields nobody
    // typed in here show its new values; deleted or renamed, the panel lets
    // it go without writing, and says so when edits were pending. Returns
    // the name the row has now, "" when it is gone or none is shown. Throws
    // StoreError.
    QString follow();
    // The row is gone (deleted): empty fields that take no typing.
    void unbind();
    bool isBound() const { return m_record.has_value(); }
    // The laboratory shown, "" when none.
    QString labo() const { return m_record ? m_record->labo.trimmed() : QString(); }
    // The laboratory was renamed / deleted: the panel follows when it shows it.
    void renamed(const QString &from, const QString &to);
    void forget(const QString &labo);
    // The delegate's name field ready for typing over its text.
    void focusDelegate();

signals:
    // The row shown was found gone on saving.
    void vanished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Field {
        QWidget *widget;
        QString LaboRecord::*column;
    };
    QList<Field> fields() const;
    bool shows(const QString &labo) const;
    LaboRecord edited() const;
    void showRecord(const LaboRecord &record);
    void takeSnapshot();
    // The row's new values where nothing was typed.
    void takeChanges(const LaboRecord &now);
    void letGo(bool pendingEdits);
    void setFieldsEnabled(bool enabled);

    void lostFocus(QWidget *field);
    void urlPressed();
    void copyToClipboard(QLineEdit *field);
    void telephoneLostFocus(QLineEdit *field);

    MainWindow &m_main;
    LaboWidgets &m_w;
    std::optional<LaboRecord> m_record; // the row as last read or written
    LaboRecord m_shown;                 // the texts the fields showed then
};

} // namespace tv

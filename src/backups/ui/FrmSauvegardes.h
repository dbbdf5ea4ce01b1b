#pragma once

#include "backups/core/Backups.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace tv {

// The list of the database copies: date, size, rows of each table, state.
// A damaged copy is shown as such and cannot be chosen for a restore.
class FrmSauvegardes : public QDialog {
    Q_OBJECT
public:
    FrmSauvegardes(const QList<backups::Entry> &entries, QWidget *parent = nullptr);

signals:
    void restoreRequested(const QString &path);

private:
    void fill();
    void selectionChanged();
    int restorableRow() const; // -1 when no sound copy is selected

    QList<backups::Entry> m_entries;
    QTableWidget *m_table = nullptr;
    QPushButton *m_restore = nullptr;
};

} // namespace tv

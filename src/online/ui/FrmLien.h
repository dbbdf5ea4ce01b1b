#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tv {
class Store;

// The window of mnuLien: the selected laboratory's online booking link,
// shown, created, renewed or revoked, and sent to its delegate.
class FrmLien : public QDialog {
    Q_OBJECT
public:
    // email: the laboratory's valid address, "" when it has none.
    FrmLien(Store &store, QString dataFolder, QString labo, QString email, QWidget *parent = nullptr);

    // Opens the window for the laboratory; "" means none is selected.
    static void show(QWidget *parent, Store &store, const QString &dataFolder, const QString &labo,
                     const QString &email);

    QString link() const;

    void create();
    void renew();
    void revoke();
    void writeToDelegate();

private:
    void refresh();
    // The service's address, asked the first time; "" when not given.
    QString address();

    Store &m_store;
    QString m_dataFolder;
    QString m_labo;
    QString m_email;
    QLabel *m_state = nullptr;
    QLineEdit *m_link = nullptr;
    QPushButton *m_create = nullptr;
    QPushButton *m_renew = nullptr;
    QPushButton *m_revoke = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_write = nullptr;
};

} // namespace tv

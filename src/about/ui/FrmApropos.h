#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;
class QToolButton;
class QFrame;

namespace tv {

// The About window: the program's name, version and date, and two labels
// that behave as links (the web site and the author's mail).
class FrmApropos : public QDialog {
    Q_OBJECT
public:
    explicit FrmApropos(QWidget *parent = nullptr);

    // How a link is opened; the desktop's handler unless a test sets one.
    using Opener = std::function<void(const QUrl &)>;
    static void setOpener(Opener opener);
    static void openLink(const QUrl &url);

    QLabel *Label1 = nullptr; // web site
    QLabel *Label2 = nullptr; // mail
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Lblversion = nullptr;
    QToolButton *CmdFermer = nullptr;
    QPushButton *cmdf = nullptr;
    QFrame *Panel = nullptr;

    bool hovered(int label) const { return label == 1 ? m_hover1 : m_hover2; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void hover(QLabel *label, bool &flag, QLabel *other, bool &otherFlag);
    void leaveLinks();

    bool m_hover1 = false;
    bool m_hover2 = false;
};

} // namespace tv

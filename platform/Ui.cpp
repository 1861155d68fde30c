#include "platform/Ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace kova {

namespace {

IUi* g_override = nullptr;

// Boxes sit over the active window, unless it is disabled: a child of a
// disabled window is disabled too and could not be answered.
QWidget* boxParent()
{
    QWidget* w = QApplication::activeWindow();
    return w && w->isEnabled() ? w : nullptr;
}

QMessageBox::Icon qtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MsgAnswer QtUi::msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    QMessageBox box(qtIcon(icon), title, text, QMessageBox::NoButton, boxParent());
    switch (buttons) {
    case MsgButtons::OKOnly: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OKCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Ok: return MsgAnswer::OK;
    default: break;
    }
    // Escape or the close box: the button that stands for leaving.
    if (buttons == MsgButtons::YesNo) return MsgAnswer::No;
    if (buttons == MsgButtons::OKOnly) return MsgAnswer::OK;
    return MsgAnswer::Cancel;
}

QString QtUi::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    QString answer = QInputDialog::getText(boxParent(), title, prompt,
                                           QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

QString QtUi::openFileName(const QString& caption, const QString& filter)
{
    return QFileDialog::getOpenFileName(boxParent(), caption, QString(), filter);
}

QString QtUi::saveFileName(const QString& caption, const QString& filter)
{
    return QFileDialog::getSaveFileName(boxParent(), caption, QString(), filter);
}

IUi& ui()
{
    static QtUi qtUi;
    return g_override ? *g_override : qtUi;
}

void setUi(IUi* replacement) { g_override = replacement; }

} // namespace kova

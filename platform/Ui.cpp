#include "platform/Ui.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStandardPaths>

namespace kova {

namespace {

IUi* g_override = nullptr;
bool g_ending = false;
// Folder of the last file chosen in a file dialog; empty until then.
QString g_lastFolder;

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

MsgAnswer leavingAnswer(MsgButtons buttons)
{
    if (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoDefaultNo) return MsgAnswer::No;
    if (buttons == MsgButtons::OKOnly) return MsgAnswer::OK;
    return MsgAnswer::Cancel;
}

MsgAnswer QtUi::msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    return msgBoxDetail(text, buttons, icon, title, QString());
}

MsgAnswer QtUi::msgBoxDetail(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                             const QString& detail)
{
    if (g_ending) return leavingAnswer(buttons);
    QMessageBox box(qtIcon(icon), title, text, QMessageBox::NoButton, boxParent());
    if (!detail.isEmpty()) box.setInformativeText(detail);
    switch (buttons) {
    case MsgButtons::OKOnly: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OKCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
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
    return leavingAnswer(buttons);
}

QString QtUi::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    if (g_ending) return QString();
    bool ok = false;
    QString answer = QInputDialog::getText(boxParent(), title, prompt,
                                           QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

QString QtUi::startFolder()
{
    if (!g_lastFolder.isEmpty() && QFileInfo(g_lastFolder).isDir()) return g_lastFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

void QtUi::forgetLastFolder() { g_lastFolder.clear(); }

QString QtUi::fileName(const QString& caption, const QString& filter, bool save)
{
    if (g_ending) return QString();
    QFileDialog dialog(boxParent(), caption, startFolder(), filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) dialog.setDefaultSuffix(firstFilterSuffix(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    const QString chosen = dialog.selectedFiles().constFirst();
    g_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

QString QtUi::openFileName(const QString& caption, const QString& filter)
{
    return fileName(caption, filter, false);
}

QString QtUi::saveFileName(const QString& caption, const QString& filter)
{
    return fileName(caption, filter, true);
}

QString firstFilterSuffix(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([^\\s;()*?\\[\\]]+)"));
    const QRegularExpressionMatch m = pattern.match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

void endModalWindows()
{
    g_ending = true;
    // Innermost first; a window that refuses to close (the connection window
    // while it connects) is hidden, which ends its modal loop all the same.
    for (int guard = 0; guard < 64; ++guard) {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) break;
        if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
        else w->close();
        if (w->isVisible()) w->hide();
    }
}

bool programEnding() { return g_ending; }

void resetProgramEnding() { g_ending = false; }

OpenBoxes& OpenBoxes::instance()
{
    static OpenBoxes boxes;
    return boxes;
}

// One box open for its lifetime.
class BoxOpen {
public:
    BoxOpen()
    {
        OpenBoxes& b = OpenBoxes::instance();
        if (++b.count_ == 1) emit b.changed(true);
    }
    ~BoxOpen()
    {
        OpenBoxes& b = OpenBoxes::instance();
        if (--b.count_ == 0) emit b.changed(false);
    }
    BoxOpen(const BoxOpen&) = delete;
    BoxOpen& operator=(const BoxOpen&) = delete;
};

namespace {

// The current boxes, each counted while it is open.
class CountedUi final : public IUi {
public:
    MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override
    {
        const BoxOpen open;
        return boxes().msgBox(text, buttons, icon, title);
    }
    MsgAnswer msgBoxDetail(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                           const QString& detail) override
    {
        const BoxOpen open;
        return boxes().msgBoxDetail(text, buttons, icon, title, detail);
    }
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override
    {
        const BoxOpen open;
        return boxes().inputBox(prompt, title, defaultText);
    }
    QString openFileName(const QString& caption, const QString& filter) override
    {
        const BoxOpen open;
        return boxes().openFileName(caption, filter);
    }
    QString saveFileName(const QString& caption, const QString& filter) override
    {
        const BoxOpen open;
        return boxes().saveFileName(caption, filter);
    }

private:
    static IUi& boxes()
    {
        static QtUi qtUi;
        return g_override ? *g_override : qtUi;
    }
};

} // namespace

IUi& ui()
{
    static CountedUi counted;
    return counted;
}

void setUi(IUi* replacement) { g_override = replacement; }

} // namespace kova

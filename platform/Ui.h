#pragma once
// Message boxes, input boxes and file dialogs of the program. Windows reach
// them through ui(), so tests can answer them from a script instead of a
// person (a real box blocks until someone clicks it).

#include <QObject>
#include <QString>

namespace kova {

// Title of message boxes that carry no title of their own.
inline const QString kAppTitle = QStringLiteral("KOVA");

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
// YesNoDefaultNo: Yes and No with No as the default button (Enter answers
// No), for a question before a command to a relay in service.
enum class MsgButtons { OKOnly, OKCancel, YesNoCancel, YesNo, YesNoDefaultNo };
enum class MsgAnswer { OK, Cancel, Yes, No };

class IUi {
public:
    virtual ~IUi() = default;

    // Shows text exactly as given (leading and trailing blanks kept).
    virtual MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                             const QString& title) = 0;
    // The same box with a detail line under the text (what went wrong, what
    // to do), the text itself unchanged. Without an override the detail is
    // left out.
    virtual MsgAnswer msgBoxDetail(const QString& text, MsgButtons buttons, MsgIcon icon,
                                   const QString& title, const QString& detail)
    {
        Q_UNUSED(detail);
        return msgBox(text, buttons, icon, title);
    }
    // Cancel gives an empty text.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // Empty when cancelled. filter as Qt writes it: "KOVA Files (*.KOVA2);;All Files (*)".
    virtual QString openFileName(const QString& caption, const QString& filter) = 0;
    // A name typed without an extension gets the first file type's (".KOVA2").
    virtual QString saveFileName(const QString& caption, const QString& filter) = 0;
};

// The boxes and dialogs on Qt widgets, parented to the active window. Both
// file dialogs start in the folder of the last file chosen in either, else
// in the user's documents folder (never the working folder).
// While the program ends (programEnding()) no box is shown any more: each
// gives at once the answer of its leaving button, dialogs give no file.
class QtUi : public IUi {
public:
    MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                     const QString& title) override;
    MsgAnswer msgBoxDetail(const QString& text, MsgButtons buttons, MsgIcon icon,
                           const QString& title, const QString& detail) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString openFileName(const QString& caption, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& filter) override;

    // The folder the next file dialog starts in.
    static QString startFolder();
    // Forgets the last folder (the next dialog starts in documents).
    static void forgetLastFolder();

private:
    QString fileName(const QString& caption, const QString& filter, bool save);
};

// The extension of the first pattern of a dialog filter: "KOVA2" for
// "KOVA Files (*.KOVA2 *.kova2);;All Files (*)"; empty when it has none.
QString firstFilterSuffix(const QString& filter);

// The answer a box gives when it is left by Escape or its close box.
MsgAnswer leavingAnswer(MsgButtons buttons);

// The program is ending (a termination signal): from now on boxes answer at
// once. Closes every open modal window the way Escape would, innermost first,
// so the code that opened each goes on with its leaving answer.
void endModalWindows();
bool programEnding();
// Back to normal boxes (for a new start-up in the same process).
void resetProgramEnding();

// The program's current boxes: QtUi unless setUi replaced it. Every box,
// input box and file dialog shown through it is counted by OpenBoxes while
// it is open.
IUi& ui();
// Replaces the boxes (not owned); nullptr restores the Qt ones.
void setUi(IUi* replacement);

// The boxes and dialogs of ui() open at this moment, nested ones too,
// wherever they were raised. A box counts as a command under way: the main
// window watches this and runs no command, and is not closed, while one is
// open (a box raised by the link while idle, a send's end, ...).
class OpenBoxes : public QObject {
    Q_OBJECT
public:
    static OpenBoxes& instance();
    int count() const { return count_; }

signals:
    // The first box opened (true) or the last one closed (false).
    void changed(bool open);

private:
    friend class BoxOpen;
    int count_ = 0;
};

} // namespace kova

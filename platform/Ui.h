#pragma once
// Message boxes, input boxes and file dialogs of the program. Windows reach
// them through ui(), so tests can answer them from a script instead of a
// person (a real box blocks until someone clicks it).

#include <QString>

namespace kova {

// Title of message boxes that carry no title of their own.
inline const QString kAppTitle = QStringLiteral("KOVA");

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { OKOnly, OKCancel, YesNoCancel, YesNo };
enum class MsgAnswer { OK, Cancel, Yes, No };

class IUi {
public:
    virtual ~IUi() = default;

    // Shows text exactly as given (leading and trailing blanks kept).
    virtual MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                             const QString& title) = 0;
    // Cancel gives an empty text.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // Empty when cancelled. filter as Qt writes it: "KOVA Files (*.KOVA2);;All Files (*)".
    virtual QString openFileName(const QString& caption, const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& filter) = 0;
};

// The boxes and dialogs on Qt widgets, parented to the active window.
class QtUi : public IUi {
public:
    MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                     const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString openFileName(const QString& caption, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& filter) override;
};

// The program's current boxes: QtUi unless setUi replaced it.
IUi& ui();
// Replaces the boxes (not owned); nullptr restores the Qt ones.
void setUi(IUi* replacement);

} // namespace kova

#pragma once
// Answers message boxes and dialogs from a script and records what was shown.

#include "platform/Ui.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>

namespace kova::test {

struct ShownBox {
    QString text;
    MsgButtons buttons;
    MsgIcon icon;
    QString title;
};

class ScriptedUi : public IUi {
public:
    ScriptedUi() { setUi(this); }
    ~ScriptedUi() override { setUi(nullptr); }

    // Answers for the next boxes, in order; when none is left the first
    // button (OK or Yes) is taken.
    std::deque<MsgAnswer> answers;
    std::deque<QString> fileNames;
    QList<ShownBox> shown;
    QStringList filters; // filter of every file dialog shown

    MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                     const QString& title) override
    {
        shown.append({text, buttons, icon, title});
        if (!answers.empty()) {
            MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes
                                                                                 : MsgAnswer::OK;
    }
    // Answers for the next input boxes, in order; when none is left the
    // default answer is taken. Each box shown is recorded as prompt, title
    // and default answer.
    std::deque<QString> inputs;
    QList<QStringList> inputBoxes;
    QString inputBox(const QString& prompt, const QString& title, const QString& def) override
    {
        inputBoxes.append({prompt, title, def});
        if (inputs.empty()) return def;
        QString a = inputs.front();
        inputs.pop_front();
        return a;
    }
    QString openFileName(const QString&, const QString& filter) override
    {
        filters.append(filter);
        return nextFile();
    }
    QString saveFileName(const QString&, const QString& filter) override
    {
        filters.append(filter);
        return nextFile();
    }

private:
    QString nextFile()
    {
        if (fileNames.empty()) return {};
        QString f = fileNames.front();
        fileNames.pop_front();
        return f;
    }
};

} // namespace kova::test

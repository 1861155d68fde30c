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
    QString detail; // the detail line under the text, if any
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
        shown.append({text, buttons, icon, title, QString()});
        if (!answers.empty()) {
            MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes
                                                                                 : MsgAnswer::OK;
    }
    MsgAnswer msgBoxDetail(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                           const QString& detail) override
    {
        const MsgAnswer a = msgBox(text, buttons, icon, title);
        shown.last().detail = detail;
        return a;
    }
    QString inputBox(const QString&, const QString&, const QString& def) override { return def; }
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

#pragma once
// Answers message boxes and dialogs from a script and records what was shown.

#include "platform/Ui.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

namespace kova::test {

struct ShownBox {
    QString text;
    MsgButtons buttons;
    MsgIcon icon;
    QString title;
    QString detail; // the detail line under the text, if any
    bool operator==(const ShownBox&) const = default;
};

struct ShownInput {
    QString prompt;
    QString title;
    QString defaultText;
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
    // Answers of the next input boxes (an empty text is Cancel); when none
    // is left the default text is taken.
    std::deque<QString> inputAnswers;
    QList<ShownInput> inputs;
    // Called as each message box shows, before it is answered.
    std::function<void(const ShownBox&)> onShow;

    MsgAnswer msgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                     const QString& title) override
    {
        shown.append({text, buttons, icon, title, QString()});
        if (onShow) onShow(shown.back());
        if (!answers.empty()) {
            MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MsgButtons::OKOnly || buttons == MsgButtons::OKCancel ? MsgAnswer::OK : MsgAnswer::Yes;
    }
    MsgAnswer msgBoxDetail(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                           const QString& detail) override
    {
        const MsgAnswer a = msgBox(text, buttons, icon, title);
        shown.last().detail = detail;
        return a;
    }
    QString inputBox(const QString& prompt, const QString& title, const QString& def) override
    {
        inputs.append({prompt, title, def});
        if (inputAnswers.empty()) return def;
        QString a = inputAnswers.front();
        inputAnswers.pop_front();
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

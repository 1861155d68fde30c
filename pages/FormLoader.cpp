#include "pages/FormLoader.h"

#include "pages/FormCheck.h"
#include "pages/FormSettingsCheck.h"
#include "platform/BuiltInFile.h"

#include <QString>

#include <algorithm>
#include <map>
#include <vector>

namespace kova {

namespace {

struct Verdict {
    std::optional<PageForm> form;
    std::vector<std::string> faults;  // "<place>: <reason>"
};

Verdict checkedForm(std::string_view form, const std::optional<std::string>& text)
{
    Verdict v;
    std::vector<std::string>& faults = v.faults;
    std::optional<PageForm>& f = v.form;
    std::string why;
    if (!text) {
        faults.push_back("(file): cannot be read");
    } else if (!(f = readPageForm(*text, form, &why))) {
        faults.push_back(why.substr(std::min(why.size(), form.size() + 2)));
    } else {
        for (const SettingProblem& p : settingProblems(*f))
            faults.push_back(p.text);
        // Registers are checked once every setting is the one stored.
        if (faults.empty())
            for (const FormProblem& p : formProblems(*f))
                faults.push_back(p.text);
    }
    return v;
}

// A form is read and checked once per content of its file: the check runs
// the page (FormProof.h), which no page opening repeats. Used from the
// user-interface thread only, as every page is.
Verdict checkedOnce(std::string_view form, const std::optional<std::string>& text)
{
    static std::map<std::string, Verdict, std::less<>> checked;
    const std::string key = std::string(form) + (text ? '\1' + *text : std::string(1, '\0'));
    if (const auto it = checked.find(key); it != checked.end())
        return it->second;
    Verdict v = checkedForm(form, text);
    if (checked.size() >= 64)
        checked.clear();
    checked.emplace(key, v);
    return v;
}

} // namespace

std::optional<PageForm> loadPageForm(std::string_view form, std::string* error)
{
    if (!pageFormExists(form)) {
        if (error)
            *error = std::string(form) + ": no such form";
        return std::nullopt;
    }
    const std::string file = pageFormFile(form);
    // Faults name the edited copy by its path: that is the file to mend.
    const std::string where = isEditedFile(QString::fromStdString(file)) ? file : std::string(form);
    auto [f, faults] = checkedOnce(form, pageFormContent(form));
    if (faults.empty())
        return f;
    if (error) {
        error->clear();
        for (const std::string& fault : faults)
            *error += (error->empty() ? "" : "\n") + where + ": " + fault;
    }
    return std::nullopt;
}

} // namespace kova

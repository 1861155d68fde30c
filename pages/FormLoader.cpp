#include "pages/FormLoader.h"

#include "pages/FormCheck.h"
#include "pages/FormSettingsCheck.h"
#include "platform/BuiltInFile.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace kova {

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
    std::vector<std::string> faults;
    std::optional<PageForm> f;
    const std::string text = pageFormText(form);
    std::string why;
    if (text.empty()) {
        faults.push_back("(file): cannot be read");
    } else if (!(f = readPageForm(text, form, &why))) {
        faults.push_back(why.substr(std::min(why.size(), form.size() + 2)));
    } else {
        for (const SettingProblem& p : settingProblems(*f))
            faults.push_back(p.text);
        // Registers are checked once every setting is the one stored.
        if (faults.empty())
            for (const FormProblem& p : formProblems(*f))
                faults.push_back(p.text);
    }
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

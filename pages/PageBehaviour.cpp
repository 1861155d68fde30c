#include "pages/PageBehaviour.h"

#include "pages/SETPAGE2.h"

namespace kova {

int PageBehaviour::comboItem(const std::string&, const RegisterImages&) const { return -1; }

void PageBehaviour::comboChosen(const std::string&, int, RegisterImages&) const {}

std::unique_ptr<PageBehaviour> behaviourFor(std::string_view form)
{
    if (form == "SETPAGE2")
        return std::make_unique<SETPAGE2>();
    return std::make_unique<PageBehaviour>();
}

} // namespace kova

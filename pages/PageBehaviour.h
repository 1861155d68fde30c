#pragma once
// The few things of a setpoint page that are code, not data: plain combo
// boxes (which bits they stand for) and extra steps around the reads the
// page queues when it opens. A form without such needs runs with the
// default behaviour; behaviourFor picks the one of a form by its name.

#include "link/RegisterImages.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kova {

class PageHost;

class PageBehaviour {
public:
    virtual ~PageBehaviour() = default;

    // Around queueing the page's reads (the main window is disabled in between).
    virtual void beforeReads(PageHost&) {}
    // The item a plain combo shows for the Get image (-1: none).
    virtual int comboItem(const std::string& combo, const RegisterImages& images) const;
    // Writes the bits of a combo's item into the Put image.
    virtual void comboChosen(const std::string& combo, int item, RegisterImages& images) const;
    // The register each plain combo stands on (four hex digits), its bits and
    // how many items it has codes for, for checks of the forms.
    struct ComboBits {
        std::string combo;
        std::string direccion;
        std::vector<int> bits;
        int items = 0;
    };
    virtual std::vector<ComboBits> comboBits() const { return {}; }
};

std::unique_ptr<PageBehaviour> behaviourFor(std::string_view form);

} // namespace kova

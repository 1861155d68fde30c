#pragma once
// System setup page: its ground-sensing combo (bits 5 and 6 of register
// 0x0101; "Residual" is the field value 1, "Zero Sequence" 2, so the item is
// the value less one) and the reset command held back while the page queues
// its reads.

#include "pages/PageBehaviour.h"

namespace kova {

class SETPAGE2 : public PageBehaviour {
public:
    void beforeReads(PageHost& host) override;
    int comboItem(const std::string& combo, const RegisterImages& images) const override;
    void comboChosen(const std::string& combo, int item, RegisterImages& images) const override;
    std::vector<ComboBits> comboBits() const override;
};

} // namespace kova

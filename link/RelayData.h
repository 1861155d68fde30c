#pragma once
// What the engine knows of the relay beyond the raw images: its fixed
// texts, the decoded-value table with the event table inside it, and the
// clock buffer. Blocks are decoded on request from the register images.

#include "link/DecodedValues.h"
#include "link/EventLog.h"
#include "link/RegisterImages.h"
#include "link/RelayClock.h"
#include "link/TextTables.h"
#include "text/DateText.h"

#include <string>

namespace kova {

class RelayData {
public:
    explicit RelayData(RegisterImages& images) : images_(images) {}
    RelayData(const RelayData&) = delete;
    RelayData& operator=(const RelayData&) = delete;

    // Decodes block 0..9 into the table; any other block does nothing.
    // Always false.
    bool Devuelve_Datos(int Bloque);
    NumOrText DatosDeVariables(int posicion) const { return values.DatosDeVariables(posicion); }

    // Short-date pattern of the stamps (set by the application).
    void setDatePattern(std::string pattern) { datePattern_ = std::move(pattern); }
    const std::string& datePattern() const { return datePattern_; }

    RegisterImages& images() { return images_; }
    const RegisterImages& images() const { return images_; }

    TextTables texts;
    DecodedValues values;
    EventLog events{values, texts};
    RelayClock clock;

private:
    RegisterImages& images_;
    std::string datePattern_ = textLocale().shortDate;
};

} // namespace kova

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

#include <optional>
#include <string>
#include <string_view>

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

    // Short-date pattern of the stamps: the process's (textLocale()) unless
    // set here. Only a numeric pattern without blank or comma is taken (the
    // pages split stamps at blanks and event rows at commas).
    void setDatePattern(std::string_view pattern) { datePattern_ = safeShortDatePattern(pattern); }
    std::string datePattern() const { return datePattern_ ? *datePattern_ : safeShortDatePattern(textLocale().shortDate); }

    RegisterImages& images() { return images_; }
    const RegisterImages& images() const { return images_; }

    TextTables texts;
    DecodedValues values;
    EventLog events{values, texts};
    RelayClock clock;

private:
    RegisterImages& images_;
    std::optional<std::string> datePattern_;
};

} // namespace kova

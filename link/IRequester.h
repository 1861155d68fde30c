#pragma once
// What the request scheduler needs of a requester (the engine KOVA200).

#include <cstdint>

namespace kova {

class IRequester {
public:
    virtual ~IRequester() = default;
    virtual void setAccion(std::int16_t code) = 0;
    virtual void Ejecuta() = 0;   // sends the request, never waits for the reply
    virtual void Refrescar() = 0; // handles the reply of the running request
    virtual bool AumentarErrorComm() = 0; // counts one missed reply
};

} // namespace kova

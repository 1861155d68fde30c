#pragma once
// What a setpoint send or STORE that failed part-way left in the relay, as
// the detail line of its error message: the blocks the relay confirmed, the
// ones it did not, and which of those went out and may have been written.
// Blocks are numbered 1 to 6 as the setpoint blocks are everywhere else.

#include "link/RegisterImages.h"

#include <set>
#include <string>
#include <vector>

namespace kova {

// bloques: the blocks of the send or store, in order; confirmados: those with
// a passed reply at least once; enviados: those sent at least once.
std::string Detalle_Escritura(const std::vector<int>& bloques, const std::set<int>& confirmados,
                              const std::set<int>& enviados);

} // namespace kova

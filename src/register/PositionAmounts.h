#pragma once
// The amounts of one position as the position editor derives them from each
// other: gross from quantity and unit price, the unit price from gross and
// quantity, the public charges from gross and net. Net is never derived.
// Blank amounts are empty optionals; a rule whose inputs are blank, or whose
// division has a zero quantity, changes nothing.
#include <optional>

namespace fenwa::reg {

struct PositionAmounts {
    std::optional<double> ilosc, cena, brutto, netto, podatki;

    // Leaving the quantity or the unit price: gross := R2(price × quantity).
    void leaveQuantityOrPrice();
    // Leaving gross with no unit price: price := R4(gross / quantity).
    void leaveGross();
    // Leaving net with no charges: charges := R2(gross − net).
    void leaveNet();
    // The click on the unit price's label: price := R4(gross / quantity), overwriting it.
    void recomputePrice();
};

} // namespace fenwa::reg

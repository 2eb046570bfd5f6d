#include "register/PositionAmounts.h"

#include "common/Numbers.h"

namespace fenwa::reg {

namespace {

std::optional<double> priceOf(const PositionAmounts &a)
{
    if (!a.ilosc || !a.brutto || *a.ilosc == 0)
        return std::nullopt;
    return R4(static_cast<long double>(*a.brutto) / static_cast<long double>(*a.ilosc));
}

} // namespace

void PositionAmounts::leaveQuantityOrPrice()
{
    if (ilosc && cena)
        brutto = R2(static_cast<long double>(*cena) * static_cast<long double>(*ilosc));
}

void PositionAmounts::leaveGross()
{
    if (!cena)
        if (const auto price = priceOf(*this))
            cena = price;
}

void PositionAmounts::leaveNet()
{
    if (brutto && netto && !podatki)
        podatki = R2(static_cast<long double>(*brutto) - static_cast<long double>(*netto));
}

void PositionAmounts::recomputePrice()
{
    if (const auto price = priceOf(*this))
        cena = price;
}

} // namespace fenwa::reg

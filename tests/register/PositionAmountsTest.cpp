// The amounts a position editor derives from each other.
#include "register/PositionAmounts.h"

#include <gtest/gtest.h>

using fenwa::reg::PositionAmounts;

namespace {

using Opt = std::optional<double>;
const Opt none;

struct Case {
    const char *name;
    PositionAmounts in;
    void (PositionAmounts::*trigger)();
    PositionAmounts out;
};

void expectSame(const Opt &actual, const Opt &expected, const char *what)
{
    ASSERT_EQ(actual.has_value(), expected.has_value()) << what;
    if (expected) {
        EXPECT_DOUBLE_EQ(*actual, *expected) << what;
    }
}

} // namespace

TEST(PositionAmounts, DerivesOnlyWhatItsTriggerAllows)
{
    using P = PositionAmounts;
    const Case cases[] = {
        {"gross from quantity and price, rounded to cents", {3, 1.237, none, none, none}, &P::leaveQuantityOrPrice,
         {3, 1.237, 3.71, none, none}},
        {"gross is overwritten", {2, 2.5, 99, none, none}, &P::leaveQuantityOrPrice, {2, 2.5, 5, none, none}},
        {"no price: no gross", {3, none, 7, none, none}, &P::leaveQuantityOrPrice, {3, none, 7, none, none}},
        {"price from gross, four decimals", {3, none, 10, none, none}, &P::leaveGross, {3, 3.3333, 10, none, none}},
        {"a price already there stays", {3, 4, 10, none, none}, &P::leaveGross, {3, 4, 10, none, none}},
        {"zero quantity: no price", {0, none, 50, none, none}, &P::leaveGross, {0, none, 50, none, none}},
        {"charges from gross and net", {none, none, 100, 81.30, none}, &P::leaveNet, {none, none, 100, 81.30, 18.70}},
        {"charges already there stay", {none, none, 100, 81.30, 20}, &P::leaveNet, {none, none, 100, 81.30, 20}},
        {"no gross: no charges", {none, none, none, 81.30, none}, &P::leaveNet, {none, none, none, 81.30, none}},
        {"the label click overwrites the price", {3, 4, 10, none, none}, &P::recomputePrice,
         {3, 3.3333, 10, none, none}},
        {"the label click with zero quantity", {0, 7, 50, none, none}, &P::recomputePrice, {0, 7, 50, none, none}},
        {"halves away from zero", {1, -0.125, none, none, none}, &P::leaveQuantityOrPrice,
         {1, -0.125, -0.13, none, none}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PositionAmounts a = c.in;
        (a.*c.trigger)();
        expectSame(a.ilosc, c.out.ilosc, "ilosc");
        expectSame(a.cena, c.out.cena, "cena");
        expectSame(a.brutto, c.out.brutto, "brutto");
        expectSame(a.netto, c.out.netto, "netto");
        expectSame(a.podatki, c.out.podatki, "podatki");
    }
}

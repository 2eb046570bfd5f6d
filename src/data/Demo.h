#pragma once
// Demonstration registers: document groups and positions of several units
// over the months of one year, made from the installation's dictionaries.
// The same options give the same data (a seeded generator), so tests and
// benchmarks can rely on what they get.
#include "data/Database.h"

#include <QDateTime>
#include <QStringList>

namespace fenwa::data {

// Creates whichever of the two files of a register is missing.
void createRegister(Database &db, int year, const QString &code);

struct DemoOptions {
    int year = 0;                  // the register year
    QDateTime now;                 // audit stamps are not later than this
    // Unit codes: a code ending in "00" is the voivodeship inspectorate, a code
    // of jp.db a subordinate unit (laboratory work), anything else a county
    // inspectorate.
    QStringList units{QStringLiteral("2000"), QStringLiteral("2003"), QStringLiteral("2080")};
    int firstMonth = 1;
    int lastMonth = 12;
    int groupsPerMonth = 5;        // per unit
    int minPositions = 2;          // per group
    int maxPositions = 8;
    quint32 seed = 20160914;
    int user = 1;                  // O_Ins, O_Mod
};

// The months a demo of `year` covers when made at `now`: the whole of a past
// year; in the current year January up to the current month, but at least
// to March so that a demo made early in the year still spans several months.
void demoMonths(int year, const QDateTime &now, int *firstMonth, int *lastMonth);

struct DemoResult {
    int groups = 0;
    int positions = 0;
};

// Creates the registers of the given units and year (refusing, EngineError,
// when one of them already exists) and fills them, one transaction per unit.
DemoResult createDemoRegisters(Database &db, const DemoOptions &options);

} // namespace fenwa::data

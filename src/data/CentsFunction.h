#pragma once

struct sqlite3;

// Makes cents(amount) known to a connection: a stored amount in whole
// hundredths by the one reading the windows and the report use
// (Amount::storedCents), NULL for a value that is no amount. Lists sum it, so
// their totals are exact and agree with the slip window and the print.
void registerCentsFunction(sqlite3* db);

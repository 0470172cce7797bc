#pragma once
#include "SlipData.h"

#include <QString>

class Connection;

// The slip a template designer shows its elements with.
namespace SampleSlip {

// Values for every field that test a layout's room: a long account name, five
// cheques and a total whose words take two lines.
SlipRecord builtIn();

// The account number of the account with that key; empty when there is none.
QString accountNumber(const Connection& connection, qint64 accountKey);

// The key of the account's latest slip (accno empty: any account), or of its
// latest slip with that serial number (sno 0: any); 0 when there is none.
qint64 latestSlipKey(const Connection& connection, const QString& accno, qint64 sno = 0);

// The stored slip, read as printing reads it (its account and cheque lines
// too); throws ReportError when it cannot be read.
SlipRecord stored(qint64 sid);

} // namespace SampleSlip

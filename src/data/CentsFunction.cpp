#include "CentsFunction.h"
#include "Amount.h"
#include "DbError.h"

#include <sqlite3.h>

namespace {

void cents(sqlite3_context* context, int, sqlite3_value** arguments) {
    sqlite3_value* value = arguments[0];
    std::optional<qint64> result;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        result = Amount::storedCents(QVariant(qlonglong(sqlite3_value_int64(value))));
        break;
    case SQLITE_FLOAT:
        result = Amount::storedCents(sqlite3_value_double(value));
        break;
    case SQLITE_TEXT:
        result = Amount::storedCents(QVariant(QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value))));
        break;
    default:
        break;
    }
    if (result)
        sqlite3_result_int64(context, *result);
    else
        sqlite3_result_null(context);
}

} // namespace

void registerCentsFunction(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    if (!db || sqlite3_create_function_v2(db, "cents", 1, flags, nullptr, cents, nullptr, nullptr, nullptr) !=
                   SQLITE_OK)
        throw DbError(QStringLiteral("The amount function cannot be registered."));
}

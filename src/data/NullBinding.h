#pragma once
#include <QDate>
#include <QVariant>

// What every engine binds as NULL, as Qt's SQLite driver does: an invalid or
// null value, a null text or byte array, an invalid date.
inline bool isNullBinding(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString().isNull();
    case QMetaType::QByteArray:
        return value.toByteArray().isNull();
    case QMetaType::QDate:
        return !value.toDate().isValid();
    default:
        return false;
    }
}

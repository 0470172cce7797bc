#pragma once
#include <QString>

// The application title: every window's message boxes carry it.
inline const QString kAppTitle = QStringLiteral("Cheqora");

// The developer's contact number shown in the About message.
inline const QString kDeveloperPhone = QStringLiteral("+91 11 4055 0187");

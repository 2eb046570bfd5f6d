#pragma once
// Where the broadcast message lives in the settings file: the section "System"
// holds the text ("alert") and one flag per operating-system user (the user's
// login name as the key). The sending side writes them, every running copy
// reads them.
#include <QString>

namespace fenwa::admin {

inline const QString broadcastSection = QStringLiteral("System");
inline const QString broadcastTextKey = QStringLiteral("alert");

} // namespace fenwa::admin

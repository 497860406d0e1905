#pragma once

#include "uvc/CameraStatus.h"

#include <QJsonObject>
#include <QString>

namespace zarvoctl {

// The status block in words: one JSON object with a key per known field,
// and the same as "key: value" lines for people.
QJsonObject statusToJson(const vexo::pc::CameraStatus &status);
QString statusToText(const QJsonObject &decoded);

} // namespace zarvoctl

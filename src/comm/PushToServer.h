#pragma once

#include "comm/CloudReport.h"

namespace vexo {
namespace pc {

// Reports a camera's identity (type 0, the report record) or one of the
// other device reports of the cloud service.
class PushToServer final : public CloudReport
{
public:
    PushToServer(const QJsonObject &info, int type);


    // Path of a type: 0 "dev/submit/", 1 "dev/status/submit/",
    // 2 "dev/function/count/", 3 "nimocam/status/submit/",
    // 4 "nimocam/devnum/stat/"; empty otherwise.
    static QString pathOf(int type);

private:
    void send() override;
};

} // namespace pc
} // namespace vexo

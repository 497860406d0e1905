// Maintenance primitives of the upgrade channel: each moves one 60-byte
// block on one selector; the callers (the upgrade worker) build and read
// the blocks. Also the request that restarts a USB camera into its upgrade
// system.
#include "uvc/UvcDevice.h"

#include "comm/ByteOrder.h"
#include "comm/GlobalParams.h"
#include "uvc/CommandIds.h"
#include "uvc/UpgradeFileState.h"

#include <QDebug>
#include <QHostAddress>

namespace vexo {
namespace pc {

namespace {

// One block written to a selector: true when all 60 bytes went.
bool blockOut(UvcDevice *dev, int selector, unsigned char *block, const char *failText)
{
    if (!block || dev->uvc_xu_set(selector, block, UvcDevice::XuBlockSize) != UvcDevice::XuBlockSize) {
        qWarning() << failText;
        return false;
    }
    return true;
}

// One block read from a selector: true when all 60 bytes came.
bool blockIn(UvcDevice *dev, int selector, unsigned char *block, const char *failText)
{
    if (!block || dev->uvc_xu_get(selector, block, UvcDevice::XuBlockSize) != UvcDevice::XuBlockSize) {
        qWarning() << failText;
        return false;
    }
    return true;
}

} // namespace

bool UvcDevice::transFileStart(unsigned char *block)
{
    return blockOut(this, cmd::SelFileTransfer, block, "transFileStart failed");
}

int UvcDevice::transFileTransStateGet(UpgradeFileUpState *state)
{
    return blockIn(this, cmd::SelFileTransfer, state ? state->data : nullptr, "transFileTransStateGet failed") ? 0 : -1;
}

bool UvcDevice::ugSyscall(unsigned char *block)
{
    return blockOut(this, cmd::SelUpload, block, "ugSyscall failed");
}

bool UvcDevice::fileDownloadReq(unsigned char *block)
{
    return blockOut(this, cmd::SelDownload, block, "fileDownloadReq failed");
}

bool UvcDevice::fileDownloadStateGet(UpgradeFileDownloadState *state)
{
    return blockIn(this, cmd::SelDownload, state ? state->data : nullptr, "fileDownloadStateGet failed");
}

bool UvcDevice::ugUpCmd(unsigned char *block)
{
    return blockOut(this, cmd::SelUpgradeCmd, block, "VEXO_UPDATR_UVC_XU_CS_UP_CMD failed");
}

bool UvcDevice::ugUpCmdState(unsigned char *block)
{
    return blockIn(this, cmd::SelUpgradeCmd, block, "ugUpCmdState failed");
}

int UvcDevice::transFileTrans(unsigned char *block)
{
    return blockOut(this, cmd::SelCommand, block, "transFileTrans failed") ? 0 : -1;
}

bool UvcDevice::transFileMagicGet(unsigned char *block)
{
    return blockIn(this, cmd::SelCommand, block, "transFileMagicGet failed");
}

void UvcDevice::setSysType(int type)
{
    sysType_.store(type);
}

} // namespace pc
} // namespace vexo
